#pragma once

#include "TableContent.h"

class QIODevice;

// Writes a table as a client-dataset XML data packet on one line:
//   <?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA>...
// The declaration names UTF-8 only when some text is not ASCII. Empty values are left out
// of their ROW, as the packet does for null fields. No line end follows the packet.
// Returns false when the device refuses the bytes, or when the content holds a character a
// data packet cannot carry (then nothing is written).
bool WriteDataPacket(const TableContent &content, QIODevice &device);

// Why the content cannot be written as a data packet that reads back the same: a field name
// or value holding U+FFFE, U+FFFF, half a surrogate pair, or one of the noncharacters
// U+FDD0..U+FDEF that the reader uses for control characters. Empty when it can.
QString DataPacketProblem(const TableContent &content);
