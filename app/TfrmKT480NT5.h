#pragma once

#include "ConnectionSettings.h"
#include "ControllerHit.h"
#include "Identification.h"
#include "StartOptions.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <optional>

class AppContext;
class ClickableLabel;
class ClickablePanel;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class StatusIndicator;
class TfrmProcess;
class TraceBuffer;

// The main window: connection tabs, the controller's identity and clock, the buttons that
// open the other windows, the language buttons, the status bar and the hidden log panel.
// Other windows are opened through the *Requested signals; they reach the link, settings,
// language, progress state and flags through context().
class TfrmKT480NT5 : public QMainWindow
{
    Q_OBJECT

public:
    TfrmKT480NT5(AppContext &context, StartOptions options = {}, QWidget *parent = nullptr);
    ~TfrmKT480NT5() override;

    AppContext &context() { return context_; }
    TfrmProcess &processWindow() { return *process_; }
    // The controller's firmware version as shown in "VER" (windows copy it when opened).
    QString versionText() const;
    QString serialNumberText() const;
    QString sdCardLabel() const { return sdCardLabel_; }
    QString statusText() const;
    bool connecting() const { return connecting_; }
    bool initialised() const { return initialised_; }
    ConnectionSettings connectionSettings() const { return connection_; }

    // Connection tabs.
    ClickablePanel *pnlMain = nullptr;
    QTabWidget *pcMain = nullptr;
    QWidget *ts01 = nullptr;
    QWidget *ts02 = nullptr;
    QWidget *ts03 = nullptr;
    QLabel *lblPort01 = nullptr;
    QComboBox *cbxCommNo = nullptr;
    QLabel *lblBaudRate = nullptr;
    QComboBox *cbxBaudRate = nullptr;
    QLabel *lblID01 = nullptr;
    QLineEdit *edID01 = nullptr;
    QPushButton *btnConnect01 = nullptr;
    QPushButton *btnSearch01 = nullptr;
    QLabel *lblIP = nullptr;
    QLineEdit *edtIP = nullptr;
    QLabel *lblPort02 = nullptr;
    QLineEdit *edtPort = nullptr;
    QLabel *lblID02 = nullptr;
    QLineEdit *edID02 = nullptr;
    QPushButton *btnConnect02 = nullptr;
    QPushButton *btnSearch02 = nullptr;
    QLabel *lblUIP = nullptr;
    QLineEdit *edtIPudp = nullptr;
    QLabel *lblPort03 = nullptr;
    QLineEdit *edtUPort01 = nullptr;
    QLabel *lblPort04 = nullptr;
    QLineEdit *edtUPort02 = nullptr;
    QLabel *lblID03 = nullptr;
    QLineEdit *edID03 = nullptr;
    QPushButton *btnConnect03 = nullptr;
    QPushButton *btnSearch03 = nullptr;

    // Identity, clock and functions.
    QWidget *Panel1 = nullptr;
    QLabel *lblSN = nullptr;
    QLabel *pnSN = nullptr;
    QLabel *lblVER = nullptr;
    QLabel *pnVER = nullptr;
    QLabel *lblDeviceTime = nullptr;
    QLabel *pnCur = nullptr;
    QPushButton *btnDeviceTime = nullptr;
    QLabel *lblNow = nullptr;
    QLabel *pnNow = nullptr;
    QPushButton *btnSyn = nullptr;
    QPushButton *btnParameter = nullptr;
    QPushButton *btnCard = nullptr;
    QPushButton *btnData = nullptr;
    QPushButton *btnSdCard = nullptr;
    QPushButton *btnBackup = nullptr;
    QPushButton *btnRestore = nullptr;
    QPushButton *btnExit = nullptr;
    QPushButton *btnEng = nullptr;
    QPushButton *btnBIG5 = nullptr;
    QPushButton *btnGB = nullptr;

    // Status bar and log panel.
    StatusIndicator *indicator = nullptr;
    QLabel *sbMainText = nullptr;
    QLabel *sbMainExtra = nullptr;
    QWidget *pnlTest = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    ClickableLabel *Panel2 = nullptr;
    QPushButton *btnSaveLog = nullptr;

    QTimer tmrScan;
    QTimer tmrTimeOut;
    QTimer tmrClock;

    // Handlers, named after their controls.
    void FormShow();
    void ApplyMainCaptions();
    void btnEngClick();
    void btnBIG5Click();
    void btnGBClick();
    void pnlMainClick();
    void Panel2Click();
    void Memo1Change();
    // Writes the link's trace (frames in hex beside the log lines) to a file for support.
    void btnSaveLogClick();
    void btnParameterClick();
    void btnCardClick();
    void btnDataClick();
    void btnBackupClick();
    void btnRestoreClick();
    void btnSdCardClick();
    void btnExitClick();

    void btnConnect01Click();
    void btnConnect02Click();
    void btnConnect03Click();
    void ClientSocket01Connect();
    void ClientSocket01Disconnect();
    void ClientSocket01Error();
    void tmrTimeOutTimer();
    void tmrScanTimer();
    void cbxCommNoChange();
    void cbxBaudRateChange();
    void edID01Change();
    void tsShow(ConnectionTab tab);

    void tmrClockTimer();
    void btnDeviceTimeClick();
    void btnSynClick();

    void btnSearch01Click();
    void btnSearch02Click();
    // The search window that runs leaves the controller it found here.
    void takeSearchResult(const ControllerHit &hit) { searchFound_ = hit; }

signals:
    void parameterWindowRequested();
    void cardWindowRequested();
    void recordWindowRequested();
    void backupRequested();
    void restoreRequested();
    void sdCardRequested();
    // Shown modally; a controller found is handed back through takeSearchResult().
    void serialSearchRequested();
    void networkSearchRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildLayout();
    QWidget *buildSerialTab();
    QWidget *buildTcpTab();
    QWidget *buildUdpTab();
    QWidget *buildIdentityAndClock();
    QWidget *buildFunctionButtons();
    QWidget *buildLanguageButtons();
    QWidget *buildLogPanel();
    void buildStatusBar();
    void wireHandlers();
    // Fixes the window's size: the main panel alone, or with the log panel beside it; never
    // smaller than the controls need in the current language.
    void fitWindow();
    void centreOnScreen();

    void switchLanguage(int languageIndex);
    void fillPortList();
    ConnectionTab activeTab() const;
    void selectTab(ConnectionTab tab);
    void setDeviceId(const QString &deviceId, bool includeUdpBox);
    void showBroadcastDeviceId(const IdentifyResult &result);
    void setFunctionButtonsEnabled(bool enabled);
    void setConnectButtonsEnabled(bool enabled);
    void setWaitCursor(bool on);
    void setStatus(const QString &text);
    void showPlaceholders();
    void showSdCardCaption();
    void beginConnect();
    void concludeConnect(bool connected, const QString &where);
    // A port box above 65535: the attempt fails at once, nothing is opened.
    bool refuseOversizedPort(int port);
    void undoConnection();
    void failTcpAttempt();
    void startupRestore();
    // Reads the controller's clock into pnCur; a real failure closes the link.
    void readDeviceClock();
    void takeDeviceIdFromActiveTab();

    AppContext &context_;
    const StartOptions options_;
    TfrmProcess *process_ = nullptr;
    // The link's trace behind the log panel, bounded, for "Save log...".
    TraceBuffer *trace_ = nullptr;

    ConnectionSettings connection_;
    ConnectionTab startTab_ = ConnectionTab::Serial;
    bool shown_ = false;
    bool initialised_ = false;
    bool connecting_ = false;
    bool connectMark01_ = false;
    bool connectMark02_ = false;
    // Set while a TCP attempt may still succeed; cleared by its failure paths.
    bool tcpAttemptRunning_ = false;
    QElapsedTimer tcpAttemptClock_;
    bool waitCursor_ = false;
    QString sdCardLabel_;
    int panelClicks_ = 0;
    std::optional<ControllerHit> searchFound_;
};
