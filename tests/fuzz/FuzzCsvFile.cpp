// A CSV file as "file convert" reads it: refused with a reason, or a table that saves as a
// data packet and as CSV and reads back the same from both.
#include "FuzzTables.h"
#include "FuzzTargets.h"
#include "TableCsv.h"
#include "TableStore.h"

namespace Fuzz {

void CsvFile(QByteArrayView input)
{
    TableStore table;
    const TableResult read = ParseCsv(input.toByteArray(), QStringLiteral("fuzz.csv"), table);
    if (!read) {
        FUZZ_REQUIRE(read.error().startsWith(QStringLiteral("fuzz.csv")));
        FUZZ_REQUIRE(!table.Active());
        return;
    }
    RequireRoundTrip(table.Content());
    TableStore again;
    FUZZ_REQUIRE(ParseCsv(TableToCsv(table), QStringLiteral("again.csv"), again).ok());
    FUZZ_REQUIRE(again.Content().fields == table.Content().fields);
    FUZZ_REQUIRE(again.Content().rows == table.Content().rows);
}

} // namespace Fuzz
