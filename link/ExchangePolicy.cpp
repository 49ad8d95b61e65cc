#include "ExchangePolicy.h"

#include "Comm.h"
#include "ResponsivePause.h"

#include <QElapsedTimer>
#include <algorithm>
#include <optional>

ExchangePolicy::ExchangePolicy(Comm &comm) : comm_(comm) {}

ExchangePolicy::ExchangePolicy(Comm &comm, Rule rule) : comm_(comm), rule_(std::move(rule)) {}

ExchangeReply ExchangePolicy::send(const QString &command, int echoCodeLength)
{
    const QString deviceId = comm_.DeviceIDText();
    return sendText(deviceId + command, static_cast<int>(deviceId.size()) + echoCodeLength);
}

ExchangeReply ExchangePolicy::sendText(const QString &commandText, int echoLength)
{
    if (linkLost_ || commandUnanswered_)
        return {};
    const ExchangeReply reply = attempt(commandText, echoLength);
    watchSilence(reply);
    return reply;
}

ExchangeReply ExchangePolicy::attempt(const QString &commandText, int echoLength)
{
    ExchangeReply reply;
    // Replies of this command's attempts that timed out and may still come. Each explains one
    // frame the command sees after it; a frame nothing explains belongs to no attempt of this
    // command, and a time-out elsewhere does not explain it.
    int lostOpen = 0;
    quint64 unexplained = 0;
    const auto explain = [&](int frames) {
        const int covered = std::min(frames, lostOpen);
        lostOpen -= covered;
        unexplained += static_cast<quint64>(frames - covered);
    };
    // From the request of the last attempt that timed out. Its reply may still come until the
    // window after it ends; the next attempt and the next command are sent only then, so that
    // the reply comes before them and is counted, and every reply an attempt takes is its own.
    QElapsedTimer sinceLost;
    const auto awaitLateReply = [&] {
        if (lostOpen > 0 && rule_.lateReplyWindow.count() > 0)
            PauseResponsively(rule_.lateReplyWindow -
                              std::chrono::milliseconds(sinceLost.elapsed()));
    };
    // A reply that may be a copy of an earlier command's reply, until an attempt answers the
    // same. If it was a copy, this command's own reply was lost or is still coming: the next
    // attempt takes that one or a new one.
    std::optional<QString> unconfirmed;
    for (int i = 0; i < rule_.attempts; ++i) {
        awaitLateReply();
        if (rule_.pauseBefore.count() > 0)
            PauseResponsively(rule_.pauseBefore);
        QElapsedTimer sent;
        sent.start();
        reply.result = comm_.CommExchange(commandText, echoLength);
        ++reply.attempts;
        ++exchanges_;
        explain(comm_.framesNotTaken());
        if (reply.result == Comm::TimedOut) {
            ++lostOpen;
            sinceLost = sent;
        }
        if (!judge(reply))
            continue;
        if (!rule_.confirmPossibleCopies || !comm_.replyMayBeCopy() || unconfirmed == reply.payload)
            break;
        unconfirmed = reply.payload;
        reply.payload.clear();
        reply.ok = false;
        reply.unclear = true;
    }
    if (lostOpen > 0 && rule_.lateReplyWindow.count() > 0) {
        awaitLateReply();
        explain(comm_.drainReplies());
    }
    if (unexplained > 0)
        comm_.noteStrayReplies(unexplained);
    return reply;
}

bool ExchangePolicy::judge(ExchangeReply &reply)
{
    reply.payload.clear();
    if (reply.result != Comm::NotSent)
        reply.sent = true;
    if (reply.result != Comm::NotSent && reply.result != Comm::TimedOut)
        reply.answered = true;
    if (Comm::IsControllerError(reply.result)) {
        reply.refused = true;
        reply.payload = comm_.ReplyText();
        return false;
    }
    const bool accepted = reply.result == Comm::Accepted;
    const int length = comm_.ReplyLength();
    const bool damaged =
        !accepted || (!rule_.payloadLengths.isEmpty() && !rule_.payloadLengths.contains(length));
    if (!damaged && length >= rule_.minimumPayload &&
        (!rule_.payloadCheck || rule_.payloadCheck(comm_.ReplyText()))) {
        reply.payload = comm_.ReplyText();
        reply.ok = true;
        return true;
    }
    if (damaged && reply.result != Comm::NotSent)
        reply.unclear = true;
    // A short reply is an answer too; only a lost or damaged one needs the line to settle.
    if (damaged && rule_.pauseAfterLoss.count() > 0)
        PauseResponsively(rule_.pauseAfterLoss);
    return false;
}

void ExchangePolicy::watchSilence(const ExchangeReply &reply)
{
    if (!reply.silent()) {
        silentInRow_ = 0;
        return;
    }
    if (rule_.silentCommandsBeforeCheck <= 0 || ++silentInRow_ < rule_.silentCommandsBeforeCheck)
        return;
    silentInRow_ = 0;
    if (!controllerAnswers())
        linkLost_ = true;
    else if (rule_.silentCommandEndsRun)
        commandUnanswered_ = true;
}

bool ExchangePolicy::controllerAnswers()
{
    const QString command = comm_.DeviceIDText() + QStringLiteral("AS");
    ExchangePolicy check(comm_, {.attempts = SerialNumberChecks,
                                 .lateReplyWindow = rule_.lateReplyWindow,
                                 .minimumPayload = IdentityMinimumPayload});
    const bool answered = check.sendText(command, static_cast<int>(command.size())).accepted();
    exchanges_ += check.exchangeCount();
    return answered;
}

void ExchangePolicy::resetSilence()
{
    silentInRow_ = 0;
    linkLost_ = false;
    commandUnanswered_ = false;
}
