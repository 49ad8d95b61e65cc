#pragma once

#include "Comm.h"
#include "ExchangeReply.h"

#include <QList>
#include <QString>
#include <chrono>
#include <functional>

// The one way every module retries a command on the device link. A command gets up to
// `attempts` exchanges; it pauses only after a lost or damaged reply (a controller that
// refused the command has answered, so the next attempt follows at once); a reply counts
// only with at least `minimumPayload` characters. Each command keeps account of the reply
// frames it did not take: a reply of one of its attempts that timed out may still come and
// explains one such frame; any other frame is a reply no command was waiting for, counted on the
// link. A reply that may be a copy of an earlier one is taken only when a second attempt agrees,
// for the commands whose reply does not name what it answers. Across commands it watches for
// silence: after `silentCommandsBeforeCheck` commands in a row without any reply it checks the
// link with a serial-number read, and an unanswered check marks the link lost, so that a long
// run ends instead of spending hours on time-outs.
class ExchangePolicy
{
public:
    // The lateReplyWindow of the commands whose reply does not name what it answers (a card,
    // a parameter, an event): twice the reply time-out.
    static constexpr std::chrono::milliseconds LateReplyWindow{Comm::LateReplyMs};

    struct Rule
    {
        int attempts = 5;
        // Before every attempt (identification lets a serial line settle first).
        std::chrono::milliseconds pauseBefore{0};
        // After an attempt that timed out or failed its check.
        std::chrono::milliseconds pauseAfterLoss{0};
        // How long after its request a late reply may still come. After an attempt that timed
        // out, the next attempt (or the next command) waits until this long after that attempt
        // was sent, and what came meanwhile is counted: a late reply is dropped instead of
        // passing for a later attempt's or the next command's reply, which it would whenever
        // the echo cannot tell them apart (a card reply does not name its card number). A
        // lost reply so costs the window, the time-out included. 0: no wait.
        std::chrono::milliseconds lateReplyWindow{0};
        int minimumPayload = 0;
        // The lengths a reply's payload may have; a reply of any other length is damaged and
        // tried again after the loss pause. Empty: any length of at least minimumPayload.
        QList<int> payloadLengths{};
        // 0: the link is never checked.
        int silentCommandsBeforeCheck = 0;
        // A silence check that the link passes ends the run too: the controller answers, but
        // never this command (a card read it never answers would take hours).
        bool silentCommandEndsRun = false;
        // The reply does not name what it answers (a card, a parameter, an event), so a copy
        // of an earlier reply would pass for it. A reply that may be such a copy
        // (Comm::replyMayBeCopy) counts only once another attempt of the command answers the
        // same; until then it is tried again at once, like a damaged reply.
        bool confirmPossibleCopies = false;
        // When set, an accepted reply counts only if its payload passes (the broadcast Device
        // ID must be above 0); one that does not is tried again like a short reply.
        std::function<bool(const QString &payload)> payloadCheck{};
    };

    static constexpr int SerialNumberChecks = 3;
    // "AS" and "DB" replies count only when longer than seven characters.
    static constexpr int IdentityMinimumPayload = 8;

    explicit ExchangePolicy(Comm &comm);
    ExchangePolicy(Comm &comm, Rule rule);

    // Sends DeviceIDText + command; the reply echoes the Device ID and the first
    // `echoCodeLength` characters of the command.
    ExchangeReply send(const QString &command, int echoCodeLength = 2);
    // Sends a complete command text (the broadcast "0000AC") with its own echo length.
    ExchangeReply sendText(const QString &commandText, int echoLength);

    // Up to three "AS" reads without pause; true when one was answered with a serial number.
    bool controllerAnswers();

    // The silence check failed: the controller is gone. Further sends return at once.
    bool linkLost() const { return linkLost_; }
    // The silence check passed with silentCommandEndsRun set: the controller answers, but not
    // the commands of this run. Further sends return at once.
    bool commandUnanswered() const { return commandUnanswered_; }
    void resetSilence();

    const Rule &rule() const { return rule_; }
    void setRule(const Rule &rule) { rule_ = rule; }
    Comm &comm() { return comm_; }

    // Exchanges made so far, every attempt and every check counted.
    quint64 exchangeCount() const { return exchanges_; }

private:
    ExchangeReply attempt(const QString &commandText, int echoLength);
    // Takes one attempt's result into the reply; true when the reply is accepted.
    bool judge(ExchangeReply &reply);
    void watchSilence(const ExchangeReply &reply);

    Comm &comm_;
    Rule rule_;
    int silentInRow_ = 0;
    bool linkLost_ = false;
    bool commandUnanswered_ = false;
    quint64 exchanges_ = 0;
};
