#include "ExchangePolicy.h"

#include "Comm.h"
#include "ResponsivePause.h"

#include <QElapsedTimer>
#include <QScopeGuard>

ExchangePolicy::ExchangePolicy(Comm &comm) : comm_(comm) {}

ExchangePolicy::ExchangePolicy(Comm &comm, Rule rule) : comm_(comm), rule_(rule) {}

ExchangeReply ExchangePolicy::send(const QString &command, int echoCodeLength)
{
    const QString deviceId = comm_.DeviceIDText();
    return sendText(deviceId + command, static_cast<int>(deviceId.size()) + echoCodeLength);
}

ExchangeReply ExchangePolicy::sendText(const QString &commandText, int echoLength)
{
    if (linkLost_)
        return {};
    const ExchangeReply reply = attempt(commandText, echoLength);
    watchSilence(reply);
    return reply;
}

ExchangeReply ExchangePolicy::attempt(const QString &commandText, int echoLength)
{
    ExchangeReply reply;
    bool timedOut = false;
    QElapsedTimer sinceSent;
    // A late reply that comes during the wait is dropped by the next exchange, which discards
    // what arrived before it.
    const auto settle = qScopeGuard([&] {
        if (!timedOut)
            return;
        const qint64 left = rule_.lateReplyWindow.count() - sinceSent.elapsed();
        if (left > 0)
            PauseResponsively(std::chrono::milliseconds(left));
    });
    for (int i = 0; i < rule_.attempts; ++i) {
        reply.payload.clear();
        if (rule_.pauseBefore.count() > 0)
            PauseResponsively(rule_.pauseBefore);
        sinceSent.start();
        reply.result = comm_.CommExchange(commandText, echoLength);
        ++reply.attempts;
        ++exchanges_;
        if (reply.result == Comm::TimedOut)
            timedOut = true;
        if (reply.result != Comm::NotSent)
            reply.sent = true;
        if (reply.result != Comm::NotSent && reply.result != Comm::TimedOut)
            reply.answered = true;
        if (reply.result == Comm::Accepted && comm_.ReplyLength() >= rule_.minimumPayload &&
            (!rule_.payloadCheck || rule_.payloadCheck(comm_.ReplyText()))) {
            reply.payload = comm_.ReplyText();
            reply.ok = true;
            return reply;
        }
        if (Comm::IsControllerError(reply.result)) {
            reply.refused = true;
            reply.payload = comm_.ReplyText();
            continue;
        }
        // A short reply is an answer too; only a lost or damaged one needs the line to settle.
        if (reply.result != Comm::Accepted && rule_.pauseAfterLoss.count() > 0)
            PauseResponsively(rule_.pauseAfterLoss);
    }
    return reply;
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
}

bool ExchangePolicy::controllerAnswers()
{
    const QString command = comm_.DeviceIDText() + QStringLiteral("AS");
    for (int i = 0; i < SerialNumberChecks; ++i) {
        const int result = comm_.CommExchange(command, static_cast<int>(command.size()));
        ++exchanges_;
        if (result == Comm::Accepted && comm_.ReplyLength() >= IdentityMinimumPayload)
            return true;
    }
    return false;
}

void ExchangePolicy::resetSilence()
{
    silentInRow_ = 0;
    linkLost_ = false;
}
