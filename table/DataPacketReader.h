#pragma once

#include "TableContent.h"
#include "TableResult.h"

#include <QByteArray>

// Reads a client-dataset XML data packet. Accepted beside the packets this program writes:
// rows of a change log (RowState; originals and deleted rows are not part of the table, a
// modified row takes the fields it leaves out from its original), PARAMS attributes, field
// types other than text (read as text), extra FIELD attributes, a byte-order mark, any
// encoding the platform knows, pretty-printed layout and numeric character references,
// including control characters that XML itself would refuse.
// On failure `content` is left untouched and the message names the file, line and column.
TableResult ReadDataPacket(const QByteArray &bytes, const QString &fileName, TableContent &content);
