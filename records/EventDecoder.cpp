#include "EventDecoder.h"

#include "EventCatalogue.h"
#include "EventReply.h"

#include <optional>

namespace {

constexpr int FirstDoor = 1;
constexpr int LastDoor = 4;
constexpr int PointsPerChannel = 16;

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// 0 for anything but a digit.
int DigitOf(QChar c)
{
    return IsDigit(c) ? c.unicode() - u'0' : 0;
}

// 0 unless both characters are digits.
int TwoDigitNumber(const QString &text)
{
    if (text.size() != 2 || !IsDigit(text.at(0)) || !IsDigit(text.at(1)))
        return 0;
    return DigitOf(text.at(0)) * 10 + DigitOf(text.at(1));
}

QString Shown(QChar c)
{
    return c.unicode() > 0x20 && c.unicode() < 0x7F ? QString(c) : QStringLiteral("?");
}

QString DateTimeText(const EventReply &e)
{
    return e.year + QLatin1Char('/') + e.month + QLatin1Char('/') + e.day + QLatin1Char(' ') +
           e.hour + QLatin1Char(':') + e.minute + QLatin1Char(':') + e.second;
}

// The channel of a known kind; nothing for a door outside 1 to 4.
std::optional<int> ChannelOf(const EventKind &kind, const EventReply &e)
{
    const int c = DigitOf(e.channel);
    switch (kind.channel) {
    case EventKind::Channel::Door: {
        const int door = c > LastDoor ? c - LastDoor : c;
        if (door < FirstDoor || door > LastDoor)
            return std::nullopt;
        return door;
    }
    case EventKind::Channel::Point:
        return PointsPerChannel * c + TwoDigitNumber(e.pointNumber) + 1;
    case EventKind::Channel::Plain:
        break;
    }
    return c;
}

QString CardOf(const EventKind &kind, const EventReply &e)
{
    switch (kind.card) {
    case EventKind::Card::Number:
        return e.card;
    case EventKind::Card::LastTwo:
        return e.card.right(2);
    case EventKind::Card::None:
        break;
    }
    return {};
}

} // namespace

QString UnknownEventText(QChar type, QChar status, QChar channel)
{
    return QStringLiteral("Unknown event %1%2 channel %3")
        .arg(Shown(type), Shown(status), Shown(channel));
}

DecodedEvent DecodeEvent(const EventReply &e)
{
    DecodedEvent decoded;
    EventRecord &r = decoded.record;
    r.DataTime = DateTimeText(e);
    const EventKind *kind = FindEventKind(e.type, e.status);
    const std::optional<int> channel = kind ? ChannelOf(*kind, e) : std::nullopt;
    if (!kind || !channel) {
        decoded.known = false;
        r.CardNO = e.card;
        r.iStatus = QStringLiteral("0");
        r.SStatus = UnknownEventText(e.type, e.status, e.channel);
        r.iChannel = e.channel.isNull() ? QString() : QString(e.channel);
        r.APB = IsDigit(e.apb) ? QString(e.apb) : QStringLiteral("0");
        return decoded;
    }
    r.CardNO = CardOf(*kind, e);
    r.iStatus = QString::number(kind->code);
    r.SStatus = kind->text;
    r.iChannel = QString::number(*channel);
    r.APB = kind->type == 'A' ? QString::number(DigitOf(e.apb)) : QStringLiteral("0");
    return decoded;
}
