#pragma once

#include <QString>
#include <chrono>

class Comm;
class ProgressState;
class SharedFlag;

// The one routine through which every parameter command travels: the Device ID is put in
// front, the link is resumed, the main window's clock read is paused, and a command that
// fails is tried again after a pause, up to five attempts in all.
class ParamTransfer
{
public:
    static constexpr int Attempts = 5;
    static constexpr std::chrono::milliseconds ProductRetryPause{500};

    ParamTransfer(Comm &comm, ProgressState &progress, SharedFlag &clockReadPaused,
                  std::chrono::milliseconds retryPause = ProductRetryPause);

    // Sends Device ID + command; the reply echoes Device ID + echo code. True when a reply
    // was accepted. Advances the progress position when a bulk operation runs.
    bool transfer(const QString &command, const QString &echoCode);

    // A serial-number read ("AS") answered with more than seven characters, at most three
    // tries without pause: tells a controller that answers from a lost link.
    bool controllerAnswers();

    // True when the last failed transfer got no reply at all (every attempt timed out or
    // could not be sent), as opposed to a reply with a CRC error or an error code.
    bool lastFailureWasSilence() const { return lastFailureSilent_; }
    int lastResult() const { return lastResult_; }

    QString replyText() const;
    int replyLength() const;

    // Exchanges made so far, every attempt counted.
    quint64 exchangeCount() const { return exchanges_; }
    std::chrono::milliseconds retryPause() const { return retryPause_; }
    void setRetryPause(std::chrono::milliseconds pause) { retryPause_ = pause; }

    Comm &comm() { return comm_; }
    ProgressState &progress() { return progress_; }

private:
    bool attempts(const QString &command, const QString &echoCode);

    Comm &comm_;
    ProgressState &progress_;
    SharedFlag &clockReadPaused_;
    std::chrono::milliseconds retryPause_;
    int lastResult_ = 0;
    bool lastFailureSilent_ = false;
    quint64 exchanges_ = 0;
};
