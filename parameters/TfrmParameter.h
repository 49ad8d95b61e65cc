#pragma once

#include "ParamResult.h"
#include "ParamTransfer.h"
#include "SdCardOperation.h"
#include "TextRow.h"

#include <QDialog>
#include <QMap>
#include <chrono>
#include <functional>

class Comm;
class Language;
class PageParameterIo;
class ParamFileTransfer;
class ProgressState;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class Settings;
class SharedFlag;
class UserPrompt;

// The parameter window: "Parameter Backup/Restore" (file backup and restore), "Special
// Parameter Setup" (the 22 parameters one by one or all at once, and the factory defaults)
// and the SD card page. The transfer logic lives in widget-free classes; this window only
// shows their values and reports their outcome.
class TfrmParameter : public QDialog
{
    Q_OBJECT

public:
    // What the window offers: the parameter pages, or the SD card page alone.
    enum class Pages
    {
        Parameters,
        SdCard
    };

    TfrmParameter(Comm &comm, Settings &settings, const Language &language, ProgressState &progress,
                  SharedFlag &batchMode, SharedFlag &clockReadPaused, UserPrompt &prompt,
                  const QString &versionText, QWidget *parent = nullptr);
    ~TfrmParameter() override;

    QString VersionText() const { return versionText_; }
    void setRetryPause(std::chrono::milliseconds pause);
    void setSdTiming(const SdCardOperation::Timing &timing) { sd_.setTiming(timing); }
    // Shows these pages and no other (the parameter pages unless told otherwise).
    void showPages(Pages pages);

    // Row controls by parameter number.
    QComboBox *paramBox(int number) const { return paramBox_.value(number); }
    QLabel *paramLabel(int number) const { return paramLabel_.value(number); }
    QToolButton *readButton(int number) const { return readButtons_.value(number); }
    QToolButton *writeButton(int number) const { return writeButtons_.value(number); }
    QString statusText(int panel) const;
    // The outcome of the last operation started from the window.
    const ParamResult &lastResult() const { return lastResult_; }

    // The handlers, also called directly by a caller that drives the window.
    void btn101Click(int number); // read one
    void btn201Click(int number); // write one
    void btnRxAllClick();
    void btnTxAllClick();
    void btnDefaultClick();
    void btnOpenFile01Click();
    void btnOpenFile02Click();
    void btnBackupClick();
    void btnRestoreClick();
    void btnBClick(); // SD backup
    void btnRClick(); // SD restore
    void tmrStartTimer();

    // Refused while an operation runs (Escape, the close button, close()): the operation
    // would go on with its window gone.
    void done(int result) override;

    QTabWidget *pcMain = nullptr;
    QWidget *ts01 = nullptr;
    QWidget *ts02 = nullptr;
    QWidget *ts03 = nullptr;
    QLineEdit *edPath01 = nullptr;
    QLineEdit *edPath02 = nullptr;
    QToolButton *btnOpenFile01 = nullptr;
    QToolButton *btnOpenFile02 = nullptr;
    QPushButton *btnBackup = nullptr;
    QPushButton *btnRestore = nullptr;
    QPushButton *btnRxAll = nullptr;
    QPushButton *btnTxAll = nullptr;
    QPushButton *btnDefault = nullptr;
    QComboBox *cbxB = nullptr;
    QToolButton *btnB = nullptr;
    QComboBox *cbxR = nullptr;
    QToolButton *btnR = nullptr;
    QPlainTextEdit *MemoNote00 = nullptr;
    QPlainTextEdit *MemoNote01 = nullptr;
    QPlainTextEdit *MemoNote02 = nullptr;
    // The controller's SD state as last asked.
    QLabel *lblSdState = nullptr;

signals:
    // The window moved; the owner re-centres the progress window on it.
    void moved(const QRect &frame);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void buildWindow();
    QWidget *buildBackupPage();
    QWidget *buildSetupPage();
    QWidget *buildRow(int number, QWidget *parent);
    QWidget *buildSdCardPage();
    void applySdCardLanguage();
    void runSdCard(SdCardOperation::Kind kind, const QString &slot);
    // Asks the controller for its SD state and shows it on the page.
    void refreshSdState();
    void applyLanguage();
    void applyVersionRows();
    void showDefaults();
    // The page rows among the values the controller took show them.
    void showConfirmed(const ParamResult &result);
    void setStatus(const QString &panel0, const QString &panel1);
    void report(const ParamResult &result, bool showBox);
    void readAllQuietly();
    // Runs Read all or Write all under the progress window, with Cancel.
    ParamResult allRows(bool writing, const std::function<ParamResult()> &rows);
    // Runs an operation with the window locked; an exception is logged and fails `result`.
    void runBusy(ParamResult &result, const std::function<void()> &operation);
    QString rowCaption(int number) const;
    QString text(TextRow row) const;

    Comm &comm_;
    Settings &settings_;
    const Language &language_;
    ProgressState &progress_;
    SharedFlag &batchMode_;
    UserPrompt &prompt_;
    QString versionText_;
    ParamTransfer transfer_;
    SdCardOperation sd_;
    std::unique_ptr<PageParameterIo> io_;
    std::unique_ptr<ParamFileTransfer> files_;
    bool reportEach_ = true;
    bool busy_ = false;
    ParamResult lastResult_;

    QMap<int, QComboBox *> paramBox_;
    QMap<int, QLabel *> paramLabel_;
    QMap<int, QList<QWidget *>> rowWidgets_;
    QMap<int, QToolButton *> readButtons_;
    QMap<int, QToolButton *> writeButtons_;
    QList<QPushButton *> exitButtons_;
    QLabel *lbl101 = nullptr;
    QLabel *lbl102 = nullptr;
    QLabel *lbl103 = nullptr;
    QLabel *lbl104 = nullptr;
    QLabel *statusPanel0_ = nullptr;
    QLabel *statusPanel1_ = nullptr;
};
