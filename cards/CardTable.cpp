#include "CardTable.h"

#include "CardCodec.h"
#include "TableStore.h"

#include <QSet>

namespace CardTable {

namespace {

struct FieldDefinition
{
    const char *name;
    int size;
};

constexpr FieldDefinition CardFields[] = {{"DataNO", 10},  {"DataID", 20}, {"DataApp", 5},
                                          {"DataType", 5}, {"DataPIN", 5}, {"DataAPB", 5}};

QString value(const TableStore &table, int row, const char *field)
{
    const int index = table.FieldIndex(QLatin1String(field));
    return index < 0 ? QString() : table.Value(row, index);
}

} // namespace

void Recreate(TableStore &table)
{
    table.Close();
    table.ClearFields();
    for (const FieldDefinition &f : CardFields)
        table.AddField(QLatin1String(f.name), f.size);
    table.CreateDataSet();
}

bool HasCardFields(const TableStore &table)
{
    for (const FieldDefinition &f : CardFields) {
        if (table.FieldIndex(QLatin1String(f.name)) < 0)
            return false;
    }
    return true;
}

CardRecord RowAt(const TableStore &table, int row)
{
    return {value(table, row, "DataNO"),  value(table, row, "DataID"),
            value(table, row, "DataApp"), value(table, row, "DataType"),
            value(table, row, "DataPIN"), value(table, row, "DataAPB")};
}

void Append(TableStore &table, const CardRecord &card)
{
    table.AppendRow(
        {card.DataNO, card.DataID, card.DataApp, card.DataType, card.DataPIN, card.DataAPB});
}

int FirstFreeNumber(const TableStore &table, int highest)
{
    QSet<QString> taken;
    for (int row = 0; row < table.RecordCount(); ++row)
        taken.insert(value(table, row, "DataNO"));
    for (int n = 1; n <= highest; ++n) {
        if (!taken.contains(CardCodec::TableCardNumber(n)))
            return n;
    }
    return 0;
}

} // namespace CardTable
