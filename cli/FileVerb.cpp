#include "FileVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "TableCsv.h"
#include "TableJson.h"
#include "TableStore.h"

#include <QJsonObject>

namespace {

bool isCsv(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

TableResult load(const QString &path, TableStore &table)
{
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
        context.err << "usage: kt480ctl file show FILE [--json|--csv] | file convert IN OUT\n";
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
    const TableResult saved = isCsv(out) ? WriteCsvFile(table, out) : table.SaveToFile(out);
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
