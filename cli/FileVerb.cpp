#include "FileVerb.h"

#include "CardTable.h"
#include "CliContext.h"
#include "CliJson.h"
#include "TableCsv.h"
#include "TableJson.h"
#include "TableStore.h"

#include <QFile>
#include <QJsonObject>

namespace {

bool isCsv(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

// A CSV file with nothing in it but blanks (and perhaps a byte-order mark).
bool isBlankCsv(const QString &path)
{
    QFile file(path);
    if (!isCsv(path) || !file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return bytes.trimmed().isEmpty();
}

// A CSV file without a header row is an empty card list, as a spreadsheet saves one whose
// rows were all deleted.
TableResult load(const QString &path, TableStore &table)
{
    if (isBlankCsv(path)) {
        CardTable::Recreate(table);
        return TableResult::Success();
    }
    return isCsv(path) ? ReadCsvFile(path, table) : table.LoadFromFile(path);
}

void printPlain(const TableStore &table, QTextStream &out)
{
    QStringList names;
    for (const TableField &f : table.Fields())
        names << f.name;
    out << names.join(QLatin1Char('\t')) << '\n';
    for (const QStringList &row : table.Content().rows)
        out << row.join(QLatin1Char('\t')) << '\n';
}

} // namespace

int runFileVerb(CliContext &context)
{
    const QString action = context.arguments.value(0);
    const bool show = action == QLatin1String("show") && context.arguments.size() == 2;
    const bool convert = action == QLatin1String("convert") && context.arguments.size() == 3;
    if (!show && !convert) {
        context.err << context.usage;
        return ExitUsage;
    }
    TableStore table;
    const QString in = context.arguments[1];
    const TableResult loaded = load(in, table);
    if (!loaded) {
        context.err << loaded.error() << '\n';
        return ExitFailed;
    }
    if (show) {
        if (context.json)
            context.out << TableToJson(table) << '\n';
        else if (context.parser.isSet(QStringLiteral("csv")))
            context.out << QString::fromUtf8(TableToCsv(table));
        else
            printPlain(table, context.out);
        return ExitOk;
    }
    const QString out = context.arguments[2];
    // A table without rows converts to a file without rows, as empty card files are
    // everywhere else.
    const TableResult saved =
        isCsv(out) ? WriteCsvFile(table, out) : table.SaveToFile(out, TableStore::Empty::Saved);
    if (!saved) {
        context.err << saved.error() << '\n';
        return ExitFailed;
    }
    if (context.json) {
        const QJsonObject object{{QStringLiteral("ok"), true},
                                 {QStringLiteral("from"), in},
                                 {QStringLiteral("to"), out},
                                 {QStringLiteral("rows"), table.RecordCount()}};
        PrintJson(context, object);
    }
    return ExitOk;
}
