#pragma once

#include <QDialog>
#include <QTimer>

class Language;
class ProgressState;
class QLabel;
class QProgressBar;
class QPushButton;
class StatusIndicator;

// The always-on-top progress window of every long operation. It follows the shared
// progress state: shown when an operation begins, refreshed ten times a second from the
// state, hidden when it ends. Cancel only raises the stop request.
//
// Operations run inside modal windows, which block every other window; so this window is
// modal itself while shown, the one window a person can reach during the operation. Only
// the operation's end hides it; it steps aside while a question is open over it.
class TfrmProcess : public QDialog
{
    Q_OBJECT

public:
    TfrmProcess(ProgressState &progress, const Language &language, QWidget *parent = nullptr);

    // Places the window in the middle of the given window (the caller's own).
    void centreOn(const QWidget *window);

    QLabel *lblProcessName = nullptr;
    StatusIndicator *ShapeImage = nullptr;
    QProgressBar *prbMain = nullptr;
    QPushButton *btnCancel = nullptr;
    QTimer tmrProcess;

    void btnCancelClick();
    void tmrProcessTimer();

    // Neither Escape nor a close request hides it: the operation goes on until it ends or
    // is cancelled.
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void operationStarted();
    void operationFinished();
    void promptOpened();
    void promptClosed();
    // Copies the shared state into the caption, the bar and the label.
    void showState();

    ProgressState &progress_;
    const Language &language_;
};
