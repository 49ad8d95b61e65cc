#include "CardDiff.h"

#include "CardCodec.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "TableStore.h"

#include <QMap>
#include <algorithm>

QMap<int, CardRecord> CardsByNumber(const TableStore &table, QStringList *invalid,
                                    const QString &side)
{
    QMap<int, CardRecord> cards;
    if (!table.Active())
        return cards;
    const QMap<int, QString> problems = CardTransfer::rowProblems(table);
    for (int row = 0; row < table.RecordCount(); ++row) {
        const CardRecord card = CardTable::RowAt(table, row);
        if (const auto problem = problems.constFind(row); problem != problems.cend()) {
            if (invalid)
                *invalid << QStringLiteral("%1 row %2: %3").arg(side).arg(row + 1).arg(*problem);
            continue;
        }
        const int number = *CardCodec::CardNumberOf(card);
        const CardRecord canonical = CanonicalCard(number, card);
        if (canonical.DataID == CardCodec::EmptyCardId) {
            cards.remove(number);
            continue;
        }
        cards.insert(number, canonical);
    }
    return cards;
}

namespace {

QList<CardFieldChange> fieldChanges(const CardRecord &from, const CardRecord &to)
{
    QList<CardFieldChange> changes;
    const auto compare = [&changes](const char *field, const QString &a, const QString &b) {
        if (a != b)
            changes.append({QLatin1String(field), a, b});
    };
    compare("DataID", from.DataID, to.DataID);
    compare("DataApp", from.DataApp, to.DataApp);
    compare("DataType", from.DataType, to.DataType);
    compare("DataPIN", from.DataPIN, to.DataPIN);
    compare("DataAPB", from.DataAPB, to.DataAPB);
    return changes;
}

} // namespace

CardRecord CanonicalCard(int number, const CardRecord &card)
{
    const QString data = CardCodec::EncodeWriteData(card);
    CardRecord canonical;
    canonical.DataNO = CardCodec::TableCardNumber(number);
    canonical.DataID = data.mid(0, 16);
    canonical.DataApp = data.mid(16, 2);
    canonical.DataType = data.mid(18, 1);
    canonical.DataPIN = data.mid(19, 4);
    canonical.DataAPB = data.mid(23, 1);
    return canonical;
}

CardDiff DiffCards(const TableStore &oldCards, const TableStore &newCards,
                   const QSet<int> &unknownOld)
{
    CardDiff diff;
    const QMap<int, CardRecord> before =
        CardsByNumber(oldCards, &diff.invalidRows, QStringLiteral("old"));
    const QMap<int, CardRecord> after =
        CardsByNumber(newCards, &diff.invalidRows, QStringLiteral("new"));

    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        if (unknownOld.contains(it.key()))
            continue;
        const auto other = after.constFind(it.key());
        if (other == after.cend()) {
            diff.removed.append(it.value());
            continue;
        }
        const QList<CardFieldChange> fields = fieldChanges(it.value(), other.value());
        if (fields.isEmpty())
            ++diff.unchanged;
        else
            diff.changed.append({it.key(), fields});
    }
    for (auto it = after.cbegin(); it != after.cend(); ++it) {
        if (!unknownOld.contains(it.key()) && !before.contains(it.key()))
            diff.added.append(it.value());
    }
    diff.unknownNumbers = unknownOld.values();
    std::sort(diff.unknownNumbers.begin(), diff.unknownNumbers.end());
    return diff;
}
