#pragma once

#include "CardRecord.h"

class TableStore;

// The card table in a table store: its six fields, and rows as card records.
namespace CardTable {

// Closes the table, defines the six card fields and creates it empty.
void Recreate(TableStore &table);
bool HasCardFields(const TableStore &table);
CardRecord RowAt(const TableStore &table, int row);
void Append(TableStore &table, const CardRecord &card);
// The smallest number from 1 to highest that no row holds as its card number (in seven
// digits); 0 when every one is taken.
int FirstFreeNumber(const TableStore &table, int highest);

} // namespace CardTable
