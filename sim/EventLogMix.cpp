#include "EventLogMix.h"

#include "Digits.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace {

struct Kind
{
    char type;
    char status;
    enum
    {
        Door,
        Point,
        Plain
    } channel;
};

// Every pair the controller sends.
constexpr Kind Known[] = {
    {'A', '1', Kind::Door},  {'A', '2', Kind::Door},  {'A', '3', Kind::Door},
    {'A', '4', Kind::Door},  {'A', '5', Kind::Door},  {'A', '6', Kind::Door},
    {'B', '1', Kind::Door},  {'B', '2', Kind::Door},  {'B', '3', Kind::Door},
    {'B', '4', Kind::Door},  {'B', '5', Kind::Door},  {'B', '6', Kind::Door},
    {'B', '7', Kind::Door},  {'C', '1', Kind::Point}, {'C', '2', Kind::Point},
    {'C', '3', Kind::Point}, {'C', '4', Kind::Point}, {'C', '5', Kind::Point},
    {'C', '6', Kind::Point}, {'C', '7', Kind::Point}, {'C', '8', Kind::Point},
    {'D', '1', Kind::Plain}, {'D', '2', Kind::Plain}, {'D', '3', Kind::Plain},
    {'E', '1', Kind::Door},  {'E', '2', Kind::Door},  {'F', '1', Kind::Point},
    {'F', '2', Kind::Point},
};
constexpr int KnownCount = int(std::size(Known));

// Pairs a newer firmware might send, and door events outside doors 1 to 4.
constexpr Kind Odd[] = {
    {'G', '1', Kind::Plain}, {'A', '9', Kind::Door}, {'E', '1', Kind::Door},
    {'B', '8', Kind::Door},  {'E', '2', Kind::Door},
};
constexpr int OddEvery = 13;

// One event of the mix: channel digit, time, card number of 4 or 7 digits, the event block
// and the record pointer.
QByteArray MixedEventPayload(char channel, const QByteArray &dateTime14, const QByteArray &card,
                             char type, int apb, int pointNumber, char status, int pointer)
{
    // The event block: type letter, two characters, anti-passback digit, status digit. In a
    // 31-character event the alarm point number takes its third and fourth places.
    QByteArray block(1, type);
    if (card.size() == 4 && pointNumber >= 0)
        block += '0' + Digits(pointNumber, 2);
    else
        block += "00" + Digits(apb, 1);
    block += status;
    return QByteArray(1, channel) + dateTime14 + card + block + Digits(pointer, 7);
}

} // namespace

QList<QByteArray> MixedEventLog(int count, quint32 seed)
{
    QRandomGenerator random(seed);
    QDateTime at(QDate(2008, 9, 22), QTime(14, 5, 9));
    QList<QByteArray> events;
    events.reserve(count);
    int known = 0;
    int odd = 0;
    for (int i = 0; i < count; ++i) {
        const bool isOdd = i % OddEvery == OddEvery - 1;
        const Kind kind = isOdd ? Odd[odd++ % std::size(Odd)] : Known[known++ % KnownCount];
        const bool longCard = random.bounded(2) == 1;
        const QByteArray card =
            longCard ? Digits(random.bounded(10000000), 7) : Digits(random.bounded(10000), 4);
        char channel = '0';
        int pointNumber = -1;
        switch (kind.channel) {
        case Kind::Door:
            // Doors 1 to 4 are sent as 1 to 4 or 5 to 8; the odd door events as 0 or 9.
            channel = isOdd ? (random.bounded(2) ? '9' : '0') : char('1' + random.bounded(8));
            break;
        case Kind::Point:
            channel = char('0' + random.bounded(4));
            pointNumber = int(random.bounded(16));
            break;
        case Kind::Plain:
            channel = char('0' + random.bounded(10));
            break;
        }
        const int apb = kind.type == 'A' ? int(random.bounded(10)) : 0;
        events << MixedEventPayload(channel,
                                    at.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1(), card,
                                    kind.type, apb, pointNumber, kind.status, i + 1);
        at = at.addSecs(1 + random.bounded(600));
    }
    return events;
}
