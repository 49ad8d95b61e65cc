#include "CardsOutsideRange.h"

#include "CardCodec.h"
#include "CardTable.h"
#include "TableStore.h"

#include <algorithm>

QList<int> CardsOutsideRange::numbers(const CardRange &range, int ceiling)
{
    const int top = std::min(std::max(ceiling, range.last()), CardCodec::MaxCardNumber);
    QList<int> list;
    for (int n = 1; n <= top; ++n) {
        if (range.count() == 0 || n < range.first() || n > range.last())
            list << n;
    }
    return list;
}

CardsOutsideRange::Outcome CardsOutsideRange::find(CardTransfer &transfer, TableStore &cards,
                                                   const CardRange &range, int ceiling)
{
    Outcome outcome;
    CardTable::Recreate(cards);
    const QList<int> outside = numbers(range, ceiling);
    if (outside.isEmpty()) {
        outcome.read.linkReady = true;
        return outcome;
    }
    outcome.read = transfer.readNumbers(cards, outside);
    for (int row = 0; row < cards.RecordCount(); ++row) {
        if (const auto number = CardCodec::CardNumberOf(CardTable::RowAt(cards, row)))
            outcome.found << *number;
    }
    std::sort(outcome.found.begin(), outcome.found.end());
    outcome.unknown = outcome.read.failedNumbers;
    return outcome;
}

QString CardsOutsideRange::foundText(const QList<int> &found, const CardRange &range)
{
    return tr("the controller holds %n card(s) outside the numbers %1 to %2 that the backup "
              "read: %3",
              nullptr, int(found.size()))
        .arg(range.first())
        .arg(range.last())
        .arg(CardTransfer::numberList(found));
}

QString CardsOutsideRange::Outcome::text(const CardRange &range) const
{
    QStringList lines;
    if (!found.isEmpty())
        lines << foundText(found, range);
    if (!checked())
        lines << tr("the cards outside the numbers %1 to %2 could not be checked: %3")
                     .arg(range.first())
                     .arg(range.last())
                     .arg(read.problems().join(QStringLiteral("; ")));
    else if (!unknown.isEmpty())
        lines << tr("%n card number(s) outside the backup's range could not be read: %1", nullptr,
                    int(unknown.size()))
                     .arg(CardTransfer::numberList(unknown));
    return lines.join(QStringLiteral("; "));
}
