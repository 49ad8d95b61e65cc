#pragma once

#include "ExchangePolicy.h"

#include <QString>
#include <chrono>

class Comm;
class ProgressState;
class SharedFlag;

// The one routine through which every parameter command travels: the Device ID is put in
// front, the link is resumed, the main window's clock read is paused, and the command goes
// through the link's retry policy: up to five attempts, a pause after a lost or damaged reply.
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

    // From now on, this many silent commands in a row make the link be checked with "AS", and
    // an unanswered check ends the run (linkLost); 0 turns the check off. Starts afresh.
    void watchSilence(int silentCommandsBeforeCheck);
    bool linkLost() const { return policy_.linkLost(); }

    // What the last transfer came to.
    const ExchangeReply &lastReply() const { return lastReply_; }

    QString replyText() const;
    int replyLength() const;

    // Exchanges made so far, every attempt and every check counted.
    quint64 exchangeCount() const { return policy_.exchangeCount(); }
    std::chrono::milliseconds retryPause() const { return policy_.rule().pauseAfterLoss; }
    void setRetryPause(std::chrono::milliseconds pause);

    Comm &comm() { return comm_; }
    ProgressState &progress() { return progress_; }

private:
    Comm &comm_;
    ProgressState &progress_;
    SharedFlag &clockReadPaused_;
    ExchangePolicy policy_;
    ExchangeReply lastReply_;
};
