#include "CardEnrolment.h"

#include "CardCodec.h"
#include "CardTable.h"
#include "TableStore.h"

namespace CardEnrolment {

namespace {

constexpr int CardIdLength = 16;

} // namespace

int NextFreeNumber(const TableStore &table)
{
    const int free = CardTable::FirstFreeNumber(table, HighestNumber);
    return free > 0 ? free : HighestNumber + 1;
}

QString CardIdFromCode(const QString &code)
{
    return (CardCodec::EmptyCardId + code).right(CardIdLength);
}

bool HasCardId(const TableStore &table, const QString &cardId)
{
    for (int row = 0; row < table.RecordCount(); ++row) {
        if (CardTable::RowAt(table, row).DataID == cardId)
            return true;
    }
    return false;
}

CardRecord RecordFor(const TableStore &table, const PendingCard &card)
{
    CardRecord record;
    record.DataNO =
        CardCodec::TableCardNumber(CardCodec::NumberOr(card.cardNo, table.RecordCount() + 1));
    record.DataID = card.cardId;
    record.DataApp =
        QStringLiteral("%1").arg(CardCodec::NumberOr(card.appNo, 1), 2, 10, QLatin1Char('0'));
    record.DataType = QStringLiteral("0");
    record.DataPIN = CardCodec::ApplyPinRule(card.pin);
    record.DataAPB = QString::number(card.apb);
    return record;
}

Commit CommitPending(TableStore &table, const PendingCard &card)
{
    if (card.cardId.isEmpty())
        return Commit::NothingPending;
    if (card.cardId.size() != CardIdLength)
        return Commit::BadCardId;
    CardTable::Append(table, RecordFor(table, card));
    return Commit::Added;
}

} // namespace CardEnrolment
