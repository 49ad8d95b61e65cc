#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class Comm;

// The controller's clock on the link: read ("AB", or "QB" for a KT760NT) and set ("AA").
class DeviceClock
{
public:
    enum class ReadOutcome
    {
        Read,
        // Every attempt was refused because another exchange holds the link (result 0): the
        // read is skipped, and the link belongs to that other operation.
        Refused,
        // No accepted reply and a real failure (time-out, CRC, controller error).
        Failed
    };

    explicit DeviceClock(Comm &comm) : comm_(comm) {}

    // Up to five attempts without pause; on success clockText is the date-time text.
    ReadOutcome Read(const QString &versionText, QString &clockText);
    // Thirty set commands in succession, each built from one reading of `now` and sent up to
    // five times until accepted; a command that gets no reply at all ends the run, since the
    // controller is not there. True when the controller accepted at least one of them.
    bool Sync(const std::function<QDateTime()> &now);

    static QString ReadCommand(const QString &deviceId, const QString &versionText);
    static QString SetCommand(const QString &deviceId, const QDateTime &moment);
    // "yyyy/MM/dd   hh:mm:ss", the form both clock panels show.
    static QString DateTimeText(const QDateTime &moment);
    // The same form from a read reply's digits; a short reply leaves parts empty.
    static QString DateTimeTextFromReply(const QString &replyText);
    // A read reply whose first fourteen characters (blanks trimmed) are the digits of a real
    // date and time.
    static bool IsClockReply(const QString &replyText);

private:
    Comm &comm_;
};

// Whether a clock tick reads the controller's clock by itself: only over an open TCP
// connection, on seconds 9, 19, ..., 59, and not while another window has paused it.
struct AutomaticClockRead
{
    bool deviceConnected = false;
    bool tcpTabActive = false;
    bool tcpConnectionOpen = false;
    bool paused = false;
    int second = 0;

    bool due() const
    {
        return deviceConnected && tcpTabActive && tcpConnectionOpen && !paused && second % 10 == 9;
    }
};
