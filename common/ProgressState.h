#pragma once

#include <QObject>
#include <QString>

// What the progress window shows for the long operation that runs now: title, text,
// position and maximum (0 when none runs), and the user's request to stop.
class ProgressState : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    QString title() const { return title_; }
    QString text() const { return text_; }
    int position() const { return position_; }
    int maximum() const { return maximum_; }
    bool stopRequested() const { return stopRequested_; }
    // What the operation counts, where its position is not that count (a card read's position is
    // the card number): items done and their total, 0 when the total is not known. Without
    // setSteps() the steps are the position's from 1 to the maximum.
    qint64 stepsDone() const { return stepsGiven_ ? stepsDone_ : position_ - 1; }
    qint64 stepsTotal() const { return stepsGiven_ ? stepsTotal_ : maximum_ - 1; }

    void setTitle(const QString &title);
    void setText(const QString &text);
    void setPosition(int position);
    void advance() { setPosition(position_ + 1); }
    void setMaximum(int maximum);
    void setSteps(qint64 done, qint64 total);
    void requestStop();
    void clearStop() { stopRequested_ = false; }

    // Starts an operation: title, text, position 1 and the maximum; shows the window.
    void begin(const QString &title, const QString &text, int maximum, bool offerStop);
    // Ends it: maximum 0, position 1, the window hidden.
    void end();
    bool running() const { return running_; }
    bool stopOffered() const { return stopOffered_; }

    // A message box, question or file dialog is open: the always-on-top progress window
    // steps aside until it is answered, so that it never hides the question.
    void beginPrompt();
    void endPrompt();
    bool promptOpen() const { return openPrompts_ > 0; }

signals:
    void changed();
    void started();
    void finished();
    void stopRequestedChanged();
    void promptOpened();
    void promptClosed();

private:
    QString title_;
    QString text_;
    int position_ = 1;
    int maximum_ = 0;
    bool stepsGiven_ = false;
    qint64 stepsDone_ = 0;
    qint64 stepsTotal_ = 0;
    bool stopRequested_ = false;
    bool running_ = false;
    bool stopOffered_ = false;
    int openPrompts_ = 0;
};
