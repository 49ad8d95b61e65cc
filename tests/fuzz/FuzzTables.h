#pragma once

#include "TableContent.h"

// What every table file this program writes must do: load back with the same field
// definitions and the same rows in the same order.
namespace Fuzz {

// Writes the content as a data packet, reads it back and requires it unchanged; content with
// a character a packet cannot carry must be refused without writing anything.
void RequireRoundTrip(const TableContent &content);

} // namespace Fuzz
