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

private:
    void operationStarted();
    void operationFinished();
    // Copies the shared state into the caption, the bar and the label.
    void showState();

    ProgressState &progress_;
    const Language &language_;
};
