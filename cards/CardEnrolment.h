#pragma once

#include "CardRecord.h"

#include <QString>

class TableStore;

// What quick add puts into the card table. The card shown in the panel is pending: it is
// added when the next card is presented or when quick add stops, with what the user may
// have changed in the meantime (card number, application, APB, PIN).
namespace CardEnrolment {

// Quick add numbers cards from 1 to this.
inline constexpr int HighestNumber = 63000;

// The smallest number from 1 to 63000 that no row holds as its card number (in seven
// digits); 63001 when every one is taken.
int NextFreeNumber(const TableStore &table);
// A presented code as a card ID: zeros in front up to 16 characters, the last 16 kept.
QString CardIdFromCode(const QString &code);
bool HasCardId(const TableStore &table, const QString &cardId);

// The panel's fields as they are when the card is added.
struct PendingCard
{
    QString cardNo;
    QString cardId;
    QString appNo;
    int apb = 0;
    QString pin;
};

enum class Commit
{
    Added,
    NothingPending,
    // The ID was edited to other than 16 characters: the card is not added.
    BadCardId,
};

// The row the card becomes: card number in seven digits (the row count + 1 when the text is
// not a number), application in two (1 when not a number), type 0, the PIN rule applied.
CardRecord RecordFor(const TableStore &table, const PendingCard &card);
Commit CommitPending(TableStore &table, const PendingCard &card);

} // namespace CardEnrolment
