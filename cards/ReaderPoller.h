#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

class Comm;

// Asks the desk reader for a presented card every 500 ms, with the read command of the
// family the search found. A reply of nine characters or more is a card. The wait for the
// reader runs the event loop, so a tick that falls due while one still waits is skipped:
// polls never overlap, and a card is handed on at most once. A reader that stops answering
// (its cable pulled, its power gone) is reported, so that cards are not presented in vain.
class ReaderPoller : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds Interval{500};
    static constexpr int CardMinimumLength = 9;
    // Polls in a row without an answer before the reader counts as not answering.
    static constexpr int UnansweredPollsBeforeNotice = 3;

    explicit ReaderPoller(Comm &comm, QObject *parent = nullptr);

    void start(const QString &readCommand);
    // Also while a poll waits: its answer is then dropped.
    void stop();
    bool running() const { return timer_.isActive(); }
    QString readCommand() const { return readCommand_; }

signals:
    // Every poll, card or not.
    void ticked();
    // The card ID of a presented card (16 characters).
    void cardRead(const QString &cardId);
    // The reader stopped answering, or answers again.
    void answeringChanged(bool answering);

private:
    void tick();
    void noteAnswer(bool answered);

    Comm &comm_;
    QTimer timer_;
    QString readCommand_;
    bool polling_ = false;
    int unansweredInRow_ = 0;
    bool answering_ = true;
    quint64 session_ = 0;
};
