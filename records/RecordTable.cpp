#include "RecordTable.h"

#include "KnownFieldLists.h"
#include "TableStore.h"

namespace RecordTable {

namespace {

const QList<TableField> &Fields()
{
    static const QList<TableField> fields = RecordTableFields();
    return fields;
}

} // namespace

void Recreate(TableStore &table)
{
    table.Close();
    table.ClearFields();
    for (const TableField &field : Fields())
        table.AddField(field.name, field.size);
    table.CreateDataSet();
}

bool HasRecordFields(const TableStore &table)
{
    for (const TableField &field : Fields()) {
        if (table.FieldIndex(field.name) < 0)
            return false;
    }
    return true;
}

EventRecord RowAt(const TableStore &table, int row)
{
    QStringList values;
    for (const TableField &field : Fields()) {
        const int index = table.FieldIndex(field.name);
        values << (index < 0 ? QString() : table.Value(row, index));
    }
    return EventRecord::fromValues(values);
}

void Append(TableStore &table, EventRecord record)
{
    record.IONO = RowNumberText(table.RecordCount() + 1);
    const QStringList values = record.values();
    if (table.Fields() == Fields()) {
        table.AppendRow(values);
        return;
    }
    // A loaded file may hold the fields in another order or hold others besides.
    QStringList row;
    for (const TableField &field : table.Fields()) {
        qsizetype at = -1;
        for (qsizetype i = 0; i < Fields().size(); ++i) {
            if (Fields()[i].name == field.name)
                at = i;
        }
        row << (at < 0 ? QString() : values[at]);
    }
    table.AppendRow(row);
}

QString RowNumberText(qint64 number)
{
    return QStringLiteral("%1").arg(number, 7, 10, QLatin1Char('0'));
}

} // namespace RecordTable
