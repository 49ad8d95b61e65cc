#pragma once

#include "CardRange.h"
#include "CardTransfer.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

class TableStore;

// The cards a controller holds outside the card numbers a backup read. A restore deletes every
// card and writes back the backup's, so these would be lost unseen: restores and dry runs read
// them first and name them.
//
// A controller cannot be asked which numbers it holds, and walking every number up to 9999999
// takes hours, so the numbers looked at are those from 1 to a ceiling that the backup's range
// leaves out: by default up to 63000 (the highest number this program gives a card), or the
// backup's end when that is higher. A card above the ceiling is not seen.
class CardsOutsideRange
{
    Q_DECLARE_TR_FUNCTIONS(CardsOutsideRange)

public:
    static constexpr int DefaultCeiling = 63000;

    struct Outcome
    {
        CardTransfer::ReadOutcome read;
        QList<int> found;   // card numbers held outside the range, ascending
        QList<int> unknown; // numbers whose read failed: a card may be there
        bool checked() const { return read.linkReady && !read.stopped && !read.linkLost; }
        // Nothing found and every number read.
        bool clear() const { return checked() && found.isEmpty() && unknown.isEmpty(); }
        // What was found, or why the check is not complete; empty when clear.
        QString text(const CardRange &range) const;
    };

    // "the controller holds 20 cards outside the numbers ... that the backup read: ...".
    static QString foundText(const QList<int> &found, const CardRange &range);
    // The numbers from 1 to the ceiling (or the range's end, when higher) outside the range.
    static QList<int> numbers(const CardRange &range, int ceiling);
    // Reads those numbers into `cards` (recreated).
    static Outcome find(CardTransfer &transfer, TableStore &cards, const CardRange &range,
                        int ceiling);
};
