// A data packet file as the table store loads it: read, then the table it gives saved and
// read again. A file that is refused must say why; one that loads must survive a save.
#include "DataPacketReader.h"
#include "FuzzTables.h"
#include "FuzzTargets.h"
#include "TableStore.h"

namespace Fuzz {

void DataPacket(QByteArrayView input)
{
    TableContent content;
    const TableResult read =
        ReadDataPacket(input.toByteArray(), QStringLiteral("fuzz.xml"), content);
    if (!read) {
        FUZZ_REQUIRE(read.error().startsWith(QStringLiteral("fuzz.xml: line ")));
        FUZZ_REQUIRE(content.fields.isEmpty() && content.rows.isEmpty());
        return;
    }
    TableStore table;
    if (!table.SetContent(content))
        return;
    FUZZ_REQUIRE(table.RecordCount() == content.rows.size());
    RequireRoundTrip(table.Content());
}

} // namespace Fuzz
