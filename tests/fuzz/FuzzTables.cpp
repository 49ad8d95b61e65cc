#include "FuzzTables.h"

#include "DataPacketReader.h"
#include "DataPacketWriter.h"
#include "FuzzTargets.h"

#include <QBuffer>

namespace Fuzz {

void RequireRoundTrip(const TableContent &content)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    // Content a data packet cannot carry is refused whole, never written half.
    if (!DataPacketProblem(content).isEmpty()) {
        FUZZ_REQUIRE(!WriteDataPacket(content, buffer));
        FUZZ_REQUIRE(buffer.data().isEmpty());
        return;
    }
    FUZZ_REQUIRE(WriteDataPacket(content, buffer));
    TableContent again;
    const TableResult read = ReadDataPacket(buffer.data(), QStringLiteral("saved.xml"), again);
    if (!read)
        qCritical("%s", qPrintable(read.error()));
    FUZZ_REQUIRE(read.ok());
    FUZZ_REQUIRE(again.fields == content.fields);
    FUZZ_REQUIRE(again.rows == content.rows);
}

} // namespace Fuzz
