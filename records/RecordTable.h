#pragma once

#include "EventRecord.h"

class TableStore;

// The record table in a table store: its seven fields, rows as event records.
namespace RecordTable {

// Closes the table, defines the seven record fields and creates it empty.
void Recreate(TableStore &table);
bool HasRecordFields(const TableStore &table);
EventRecord RowAt(const TableStore &table, int row);
// Appends the record as the table's next row, numbered after the rows before it.
void Append(TableStore &table, EventRecord record);
// A row number as IONO holds it: seven digits with leading zeros.
QString RowNumberText(qint64 number);

} // namespace RecordTable
