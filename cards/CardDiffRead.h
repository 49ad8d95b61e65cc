#pragma once

#include "CardTransfer.h"

class TableStore;

// Reads what a controller holds for a comparison with a card list: the numbers of the range
// and every number of the list outside them, so no card of the list is missed. One outcome
// for both reads: its failed numbers are the ones whose state is not known.
CardTransfer::ReadOutcome ReadCardsToCompare(CardTransfer &transfer, TableStore &controller,
                                             const TableStore &list, const CardRange &range);
