#include "DeviceClock.h"

#include <Comm.h>

namespace {
constexpr int EchoLength = 6;
constexpr int Attempts = 5;
constexpr int SetCommandsPerSync = 30;
} // namespace

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
    const QString command = ReadCommand(comm_.DeviceIDText(), versionText);
    bool refusedEveryTime = true;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const int result = comm_.CommExchange(command, EchoLength);
        if (result == Comm::Accepted) {
            clockText = DateTimeTextFromReply(comm_.ReplyText());
            return ReadOutcome::Read;
        }
        if (result != Comm::NotSent)
            refusedEveryTime = false;
    }
    return refusedEveryTime ? ReadOutcome::Refused : ReadOutcome::Failed;
}

bool DeviceClock::Sync(const std::function<QDateTime()> &now)
{
    if (!comm_.CommResume())
        return false;
    for (int command = 0; command < SetCommandsPerSync; ++command) {
        // One reading per command, so that no command mixes fields from both sides of midnight.
        const QString text = SetCommand(comm_.DeviceIDText(), now());
        for (int attempt = 0; attempt < Attempts; ++attempt) {
            if (comm_.CommExchange(text, EchoLength) == Comm::Accepted)
                break;
        }
    }
    return true;
}
