#pragma once

#include "TableContent.h"

class QIODevice;

// Writes a table as a client-dataset XML data packet on one line:
//   <?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA>...
// The declaration names UTF-8 only when some text is not ASCII. Empty values are left out
// of their ROW, as the packet does for null fields. No line end follows the packet.
// Returns false when the device refuses the bytes.
bool WriteDataPacket(const TableContent &content, QIODevice &device);
