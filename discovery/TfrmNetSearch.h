#pragma once

#include "ControllerHit.h"
#include "NetworkSearch.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <optional>

class Language;
class QLabel;
class QLineEdit;
class QPushButton;
class SearchStatusBar;
class UserPrompt;

// "Search Device" on the network: tries every address of a range at once on one TCP port,
// probes each connection for the Device IDs of a range, and hands the first controller that
// answers to the caller (result()). Cancel ends the search at once.
class TfrmNetSearch : public QDialog
{
    Q_OBJECT

public:
    TfrmNetSearch(const Language &language, UserPrompt &prompt, QWidget *parent = nullptr);
    ~TfrmNetSearch() override;

    std::optional<ControllerHit> result() const { return found_; }
    bool searching() const { return searching_; }
    // How long an address may take to accept the connection (tests shorten it).
    void setConnectTimeout(int ms) { connectTimeoutMs_ = ms; }

    QLabel *lblIP = nullptr;
    QLineEdit *edtIP01 = nullptr;
    QLineEdit *edtIP02 = nullptr;
    QLineEdit *edtIP03 = nullptr;
    QLineEdit *edtIP04 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *edtIP05 = nullptr;
    QLabel *lblPort02 = nullptr;
    QLineEdit *edtPort = nullptr;
    QLabel *lblID02 = nullptr;
    QLineEdit *edID01 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *edID02 = nullptr;
    QPushButton *btnSearch = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnExit = nullptr;
    SearchStatusBar *sbMain = nullptr;
    QTimer tmrScan;
    QTimer tmrTimeOut;

    void FormShow();
    void btnSearchClick();
    void btnCancelClick();
    void btnExitClick();
    void tmrScanTimer();
    void tmrTimeOutTimer();
    // The key and range rules of the address edits. True when the key is swallowed: only
    // digits reach an edit, and "." moves on to the next one.
    bool edtIPKeyPress(QLineEdit *edit, const QKeyEvent *event);
    void edtIP04KeyUp();
    void edtIP04Exit();
    void edtIP05Exit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buildLayout();
    void applyCaptions();
    void showProbe(const QString &address, int deviceId);
    void searchFinished(bool found);
    void setSearching(bool on);
    void showStatusLine(const QString &line);
    int portValue() const;

    const Language &language_;
    UserPrompt &prompt_;
    NetworkSearch search_;
    std::optional<ControllerHit> found_;
    bool searching_ = false;
    int connectTimeoutMs_ = NetworkSearch::DefaultConnectTimeoutMs;
    QElapsedTimer started_;
    QString statusLine_;
};
