#pragma once

#include "ConnectionController.h"
#include "StartOptions.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>

class AppContext;
class QComboBox;
class QFrame;
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
// What connecting means is the connection controller's: the window hands it what the person
// types and shows what it reports. Other windows are opened through the *Requested signals;
// they reach the link, settings, language, progress state and flags through context().
// Tests find the controls by their object names.
class TfrmKT480NT5 : public QMainWindow
{
    Q_OBJECT

public:
    TfrmKT480NT5(AppContext &context, StartOptions options = {}, QWidget *parent = nullptr);
    ~TfrmKT480NT5() override;

    AppContext &context() { return context_; }
    TfrmProcess &processWindow() { return *process_; }
    ConnectionController &controller() { return controller_; }
    // The controller's firmware version as shown in "VER" (windows copy it when opened).
    QString versionText() const { return controller_.versionText(); }
    QString serialNumberText() const { return controller_.serialNumberText(); }
    QString sdCardLabel() const { return controller_.sdCardLabel(); }
    QString statusText() const;
    bool connecting() const { return controller_.connecting(); }
    bool initialised() const { return controller_.initialised(); }
    ConnectionSettings connectionSettings() const { return controller_.connectionSettings(); }
    const StartOptions &startOptions() const { return options_; }
    // The search window that runs leaves the controller it found here.
    void takeSearchResult(const ControllerHit &hit) { controller_.takeSearchResult(hit); }

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
    void tmrScanTimer();

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
    // The controller's reports on the widgets, and the person's edits back to it.
    void wireController();
    // Fixes the window's size: the main panel alone, or with the log panel beside it; never
    // smaller than the controls need in the current language.
    void fitWindow();
    void centreOnScreen();

    void switchLanguage(int languageIndex);
    void showSdCardCaption();
    QString boxText(ConnectionField field) const;
    void showBox(ConnectionField field, const QString &text);
    void showPortList(const QStringList &ports);
    void selectTab(ConnectionTab tab);
    void showIndicator(ConnectionIndicator state);
    void setFunctionButtonsEnabled(bool enabled);
    void setConnectButtonsEnabled(bool enabled);
    void setWaitCursor(bool on);
    void setStatus(const QString &text);

    AppContext &context_;
    const StartOptions options_;
    ConnectionController controller_;
    TfrmProcess *process_ = nullptr;
    bool shown_ = false;
    int panelClicks_ = 0;

    // Connection tabs.
    QFrame *pnlMain = nullptr;
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
    QLabel *Panel2 = nullptr;
    QPushButton *btnSaveLog = nullptr;
    // The link's trace behind the log panel, bounded, for "Save log...".
    TraceBuffer *trace_ = nullptr;

    QTimer *tmrScan = nullptr;
    // The connection boxes by what they hold.
    QHash<ConnectionField, QWidget *> boxes_;
};
