#include "EventCatalogue.h"

namespace {

using Card = EventKind::Card;
using Channel = EventKind::Channel;

} // namespace

const QList<EventKind> &EventCatalogue()
{
    // The codes do not follow the status digits (Duress 47, alarm-point PIN 50, logins count
    // down); they are the controller's own.
    static const QList<EventKind> catalogue{
        {'A', '1', 11, QStringLiteral("In check OK"), Card::Number, Channel::Door},
        {'A', '2', 12, QStringLiteral("Out check OK"), Card::Number, Channel::Door},
        {'A', '3', 13, QStringLiteral("Go Out "), Card::Number, Channel::Door},
        {'A', '4', 14, QStringLiteral("Come Back"), Card::Number, Channel::Door},
        {'A', '5', 15, QStringLiteral("Work Overtime [Start]"), Card::Number, Channel::Door},
        {'A', '6', 16, QStringLiteral("Work Overtime [End]"), Card::Number, Channel::Door},
        {'B', '1', 21, QStringLiteral("Disable Card"), Card::Number, Channel::Door},
        {'B', '2', 22, QStringLiteral("Invalid Card"), Card::LastTwo, Channel::Door},
        {'B', '3', 23, QStringLiteral("Invalid Door"), Card::Number, Channel::Door},
        {'B', '4', 24, QStringLiteral("Invalid TimeZone"), Card::Number, Channel::Door},
        {'B', '5', 25, QStringLiteral("ReEntry"), Card::Number, Channel::Door},
        {'B', '6', 26, QStringLiteral("ReExit"), Card::Number, Channel::Door},
        {'B', '7', 27, QStringLiteral("Invalid PIN"), Card::Number, Channel::Door},
        {'C', '1', 41, QStringLiteral("Steal Alarm"), Card::None, Channel::Point},
        {'C', '2', 42, QStringLiteral("Help Alarm"), Card::None, Channel::Point},
        {'C', '3', 43, QStringLiteral("Fire Alarm"), Card::None, Channel::Point},
        {'C', '4', 44, QStringLiteral("Gas Alarm"), Card::None, Channel::Point},
        {'C', '5', 47, QStringLiteral("Duress Alarm"), Card::None, Channel::Point},
        {'C', '6', 50, QStringLiteral("Invalid PIN"), Card::None, Channel::Point},
        {'C', '7', 40, QStringLiteral("Alarm Release"), Card::None, Channel::Point},
        {'C', '8', 45, QStringLiteral("Error Alarm"), Card::None, Channel::Point},
        {'D', '1', 67, QStringLiteral("Master Login"), Card::None, Channel::Plain},
        {'D', '2', 66, QStringLiteral("Enginerr Login"), Card::None, Channel::Plain},
        {'D', '3', 65, QStringLiteral("Operator Login"), Card::None, Channel::Plain},
        {'E', '1', 31, QStringLiteral("Open Door"), Card::None, Channel::Door},
        {'E', '2', 32, QStringLiteral("Close Door"), Card::None, Channel::Door},
        {'F', '1', 33, QStringLiteral("DI ON"), Card::None, Channel::Point},
        {'F', '2', 34, QStringLiteral("DI OFF"), Card::None, Channel::Point},
    };
    return catalogue;
}

const EventKind *FindEventKind(QChar type, QChar status)
{
    for (const EventKind &kind : EventCatalogue()) {
        if (type == QLatin1Char(kind.type) && status == QLatin1Char(kind.status))
            return &kind;
    }
    return nullptr;
}
