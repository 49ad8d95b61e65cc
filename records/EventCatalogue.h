#pragma once

#include <QChar>
#include <QList>
#include <QString>

// The controller's event kinds: type letter and status digit to event code and English text,
// with the rules for the card number and the channel.
struct EventKind
{
    enum class Card
    {
        Number,  // the card number as sent
        LastTwo, // its last two characters ("Invalid Card")
        None     // empty
    };
    enum class Channel
    {
        Door,  // digits 5 to 8 are doors 1 to 4; only 1 to 4 are doors
        Point, // 16 x channel digit + point number + 1
        Plain  // the digit as sent
    };

    char type;
    char status;
    int code;
    QString text;
    Card card;
    Channel channel;
};

const QList<EventKind> &EventCatalogue();

// The kind of a type letter and status digit; nullptr for a pair outside the catalogue.
const EventKind *FindEventKind(QChar type, QChar status);
