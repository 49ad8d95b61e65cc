#pragma once

#include "CardRecord.h"

#include <QList>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

class TableStore;

// What writing one card list over another would change, card number by card number. Cards
// are compared as a controller would hold them after a write (the "HA" encoding read back),
// so "1" and "01" for an application number are the same card. Rows that cannot be written
// are listed apart and take no part, as a write leaves them out (among them a row whose
// number an earlier row holds with another card); a row whose card ID is all zeros leaves
// its number empty.
struct CardFieldChange
{
    QString field; // DataID, DataApp, DataType, DataPIN or DataAPB
    QString from;
    QString to;
};

struct CardChange
{
    int number = 0;
    QList<CardFieldChange> fields;
};

struct CardDiff
{
    QList<CardRecord> added;   // in the new list only
    QList<CardRecord> removed; // in the old list only
    QList<CardChange> changed;
    int unchanged = 0;
    QStringList invalidRows;   // rows of either list that cannot be written, and why
    QList<int> unknownNumbers; // numbers whose old state is not known (a read that failed)

    // Nothing to change and nothing left out: a number whose state is not known, or a row that
    // a write would leave out, means the two lists are not known to be the same.
    bool identical() const
    {
        return added.isEmpty() && removed.isEmpty() && changed.isEmpty() &&
               unknownNumbers.isEmpty() && invalidRows.isEmpty();
    }
};

// From the old list (what a controller holds, or file A) to the new one (the file to be
// written, or file B). Numbers in unknownOld are left out of both sides and listed.
CardDiff DiffCards(const TableStore &oldCards, const TableStore &newCards,
                   const QSet<int> &unknownOld = {});

// The cards a controller holds after a write of the table, by number, as CanonicalCard. A
// card ID of zeros is what a controller answers for an empty number: such a row leaves its
// number empty, so it is not among them. The rows a write would leave out are named in
// invalid, each after side ("old row 2: why").
QMap<int, CardRecord> CardsByNumber(const TableStore &table, QStringList *invalid = nullptr,
                                    const QString &side = {});

// The card as a controller holds it after a write: seven-digit number, the 24 characters
// of the write split into their fields.
CardRecord CanonicalCard(int number, const CardRecord &card);
