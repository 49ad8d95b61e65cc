#include "CardDiffRead.h"

#include "CardCodec.h"
#include "CardTable.h"
#include "TableStore.h"

#include <QSet>
#include <algorithm>

CardTransfer::ReadOutcome ReadCardsToCompare(CardTransfer &transfer, TableStore &controller,
                                             const TableStore &list, const CardRange &range)
{
    CardTransfer::ReadOutcome outcome = transfer.readRange(controller, range);
    if (!outcome.linkReady || outcome.stopped || outcome.linkLost)
        return outcome;
    QSet<int> outside;
    for (int row = 0; list.Active() && row < list.RecordCount(); ++row) {
        const auto number = CardCodec::CardNumberOf(CardTable::RowAt(list, row));
        if (number && (*number < range.first() || *number > range.last()))
            outside.insert(*number);
    }
    if (outside.isEmpty())
        return outcome;
    QList<int> numbers = outside.values();
    std::sort(numbers.begin(), numbers.end());
    const CardTransfer::ReadOutcome more = transfer.readNumbers(controller, numbers);
    outcome.linkReady = more.linkReady;
    outcome.stopped = more.stopped;
    outcome.linkLost = more.linkLost;
    outcome.cardsFound += more.cardsFound;
    outcome.failedNumbers += more.failedNumbers;
    return outcome;
}
