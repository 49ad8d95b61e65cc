#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>

class Comm;

// Asks the desk reader for a presented card every 500 ms, with the read command of the
// family the search found. A reply of nine characters or more is a card. The wait for the
// reader runs the event loop, so a tick that falls due while one still waits is skipped:
// polls never overlap, and a card is handed on at most once.
class ReaderPoller : public QObject
{
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds Interval{500};
    static constexpr int CardMinimumLength = 9;

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

private:
    void tick();

    Comm &comm_;
    QTimer timer_;
    QString readCommand_;
    bool polling_ = false;
    quint64 session_ = 0;
};
