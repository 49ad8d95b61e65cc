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

// Why the content cannot be written as a data packet that reads back the same and that other
// XML readers take: a field name or value holding a control character other than TAB, LF and
// CR (XML 1.0 has no room for one, not even as a reference), U+FFFE, U+FFFF, half a surrogate
// pair, or one of the noncharacters U+FDD0..U+FDEF that the reader uses for control
// characters. Names the row, the field and the character. Empty when it can.
QString DataPacketProblem(const TableContent &content);
