#include "DeviceClock.h"

#include "ExchangePolicy.h"

#include <Comm.h>

#include <algorithm>

namespace {
constexpr int EchoLength = 6;
// Five attempts without a pause, for the read and for every set command.
const ExchangePolicy::Rule ClockRule{.attempts = 5};
constexpr int SetCommandsPerSync = 30;
} // namespace

bool DeviceClock::IsClockReply(const QString &replyText)
{
    const QString digits = replyText.trimmed().left(14);
    if (digits.size() < 14 || !std::all_of(digits.cbegin(), digits.cend(),
                                           [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    return QDateTime::fromString(digits, QStringLiteral("yyyyMMddHHmmss")).isValid();
}

QString DeviceClock::ReadCommand(const QString &deviceId, const QString &versionText)
{
    const bool kt760 = versionText.toUpper().contains(QLatin1String("KT760NT"));
    return deviceId + (kt760 ? QStringLiteral("QB") : QStringLiteral("AB"));
}

QString DeviceClock::SetCommand(const QString &deviceId, const QDateTime &moment)
{
    return deviceId + QStringLiteral("AA") + moment.toString(QStringLiteral("yyyyMMddHHmmss"));
}

QString DeviceClock::DateTimeText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy/MM/dd   HH:mm:ss"));
}

QString DeviceClock::DateTimeTextFromReply(const QString &replyText)
{
    const QString digits = replyText.trimmed();
    return digits.mid(0, 4) + QLatin1Char('/') + digits.mid(4, 2) + QLatin1Char('/') +
           digits.mid(6, 2) + QLatin1String("   ") + digits.mid(8, 2) + QLatin1Char(':') +
           digits.mid(10, 2) + QLatin1Char(':') + digits.mid(12, 2);
}

DeviceClock::ReadOutcome DeviceClock::Read(const QString &versionText, QString &clockText)
{
    if (!comm_.CommResume())
        return ReadOutcome::Failed;
    ExchangePolicy::Rule rule = ClockRule;
    // A reply that is not a date and time is not the controller's clock.
    rule.payloadCheck = IsClockReply;
    const ExchangeReply reply =
        ExchangePolicy(comm_, rule)
            .sendText(ReadCommand(comm_.DeviceIDText(), versionText), EchoLength);
    if (reply.accepted()) {
        clockText = DateTimeTextFromReply(reply.payload);
        return ReadOutcome::Read;
    }
    return reply.sent ? ReadOutcome::Failed : ReadOutcome::Refused;
}

bool DeviceClock::Sync(const std::function<QDateTime()> &now)
{
    if (!comm_.CommResume())
        return false;
    ExchangePolicy policy(comm_, ClockRule);
    bool set = false;
    for (int command = 0; command < SetCommandsPerSync; ++command) {
        // One reading per command, so that no command mixes fields from both sides of midnight.
        const ExchangeReply reply =
            policy.sendText(SetCommand(comm_.DeviceIDText(), now()), EchoLength);
        set = set || reply.accepted();
        if (reply.silent())
            break;
    }
    return set;
}
