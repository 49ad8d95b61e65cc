#include "RecordsArchive.h"

#include "ArchiveAddress.h"
#include "ArchiveBatch.h"
#include "CliContext.h"
#include "CliJson.h"
#include "RecordFile.h"
#include "RecordFilter.h"
#include "RecordJournal.h"
#include "RecordTable.h"
#include "TableCsv.h"
#include "TableStore.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QRegularExpression>

namespace {

const QString DbOption = QStringLiteral("db");
const QString ControllerOption = QStringLiteral("controller");
// The rows of a rejected import that are named, of all.
constexpr int NamedRows = 5;

const QStringList QueryColumns{
    QStringLiteral("controller"), QStringLiteral("siteName"), QStringLiteral("dateTime"),
    QStringLiteral("card"),       QStringLiteral("code"),     QStringLiteral("event"),
    QStringLiteral("channel"),    QStringLiteral("apb"),      QStringLiteral("readTime")};

QStringList Cells(const ArchivedRow &row)
{
    const EventRecord &r = row.record;
    return {row.controller,
            row.siteName,
            r.DataTime,
            r.CardNO,
            r.iStatus,
            r.SStatus,
            r.iChannel,
            r.APB,
            row.readTime.isValid() ? row.readTime.toString(Qt::ISODate) : QString()};
}

QJsonObject RowJson(const ArchivedRow &row)
{
    const QStringList cells = Cells(row);
    QJsonObject object;
    for (qsizetype c = 0; c < QueryColumns.size(); ++c)
        object.insert(QueryColumns[c], cells[c]);
    object.insert(QStringLiteral("code"), row.record.iStatus.toInt());
    if (!row.readTime.isValid())
        object.insert(QStringLiteral("readTime"), QJsonValue::Null);
    return object;
}

void PrintTable(QTextStream &out, const QList<ArchivedRow> &rows)
{
    QList<QStringList> lines{{QStringLiteral("date/time"), QStringLiteral("controller"),
                              QStringLiteral("name"), QStringLiteral("card"),
                              QStringLiteral("code"), QStringLiteral("event"),
                              QStringLiteral("channel"), QStringLiteral("APB")}};
    for (const ArchivedRow &row : rows) {
        const EventRecord &r = row.record;
        lines << QStringList{r.DataTime,
                             row.controller,
                             row.siteName.isEmpty() ? QStringLiteral("-") : row.siteName,
                             r.CardNO.isEmpty() ? QStringLiteral("-") : r.CardNO,
                             r.iStatus,
                             r.SStatus.trimmed(),
                             r.iChannel,
                             r.APB};
    }
    QList<qsizetype> widths(lines.first().size(), 0);
    for (const QStringList &line : lines) {
        for (qsizetype c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], line[c].size());
    }
    for (const QStringList &line : lines) {
        QStringList cells;
        for (qsizetype c = 0; c < line.size(); ++c)
            cells << line[c].leftJustified(widths[c]);
        out << cells.join(QStringLiteral("  ")).trimmed() << '\n';
    }
}

int badArgument(CliContext &context, const QString &problem)
{
    context.err << problem << '\n';
    return ExitUsage;
}

std::optional<qint64> LimitOption(CliContext &context)
{
    if (!context.parser.isSet(QStringLiteral("limit")))
        return 0;
    bool ok = false;
    const qint64 limit = context.parser.value(QStringLiteral("limit")).toLongLong(&ok);
    return ok && limit > 0 ? std::optional(limit) : std::nullopt;
}

// The rows an import takes: a time in the record table's form and a numeric code.
bool IsEventRow(const EventRecord &r)
{
    static const QRegularExpression time(
        QStringLiteral(R"(^\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}$)"));
    bool numeric = false;
    r.iStatus.trimmed().toInt(&numeric);
    return numeric && time.match(r.DataTime).hasMatch();
}

} // namespace

ArchiveOption OpenArchiveOption(CliContext &context, EventArchive::Use use)
{
    ArchiveOption option;
    if (!context.parser.isSet(DbOption))
        return option;
    QString error;
    const std::optional<ArchiveAddress> address =
        ArchiveAddress::parse(context.parser.value(DbOption), error);
    if (!address) {
        option.exitCode = badArgument(context, QStringLiteral("--db: ") + error);
        return option;
    }
    option.archive = std::make_unique<EventArchive>(*address);
    if (!option.archive->open(use)) {
        context.err << option.archive->error() << '\n';
        option.archive.reset();
        option.exitCode = ExitFailed;
    }
    return option;
}

QJsonObject ArchiveOutcome::json() const
{
    QJsonObject object{{QStringLiteral("committed"), committed},
                       {QStringLiteral("added"), stored.added},
                       {QStringLiteral("present"), stored.present}};
    if (!error.isEmpty())
        object.insert(QStringLiteral("error"), error);
    return object;
}

ArchiveOutcome StoreJournal(EventArchive *archive, const QString &serialNumber,
                            const QString &siteName, const RecordJournal &journal)
{
    ArchiveOutcome outcome;
    if (!archive)
        return outcome;
    outcome.given = true;
    const std::optional<EventArchive::Stored> stored =
        archive->store(ArchiveBatch::FromJournal(serialNumber, siteName, journal.pending()));
    outcome.committed = stored.has_value();
    if (stored)
        outcome.stored = *stored;
    else
        outcome.error = archive->error();
    return outcome;
}

int runArchiveQuery(CliContext &context, const RecordFilter &filter)
{
    if (context.arguments.size() != 1)
        return badArgument(context, QStringLiteral("records query takes no file; give --db DB"));
    if (!context.parser.isSet(DbOption))
        return badArgument(context, QStringLiteral("records query wants --db DB"));
    const std::optional<qint64> limit = LimitOption(context);
    if (!limit)
        return badArgument(context, QStringLiteral("--limit wants a number of events, 1 or more"));
    const ArchiveOption option = OpenArchiveOption(context, EventArchive::Use::Read);
    if (!option.archive)
        return option.exitCode;
    ArchiveQuery query{filter, context.parser.value(ControllerOption).trimmed(), *limit};
    const std::optional<QList<ArchivedRow>> rows = option.archive->query(query);
    if (!rows) {
        context.err << option.archive->error() << '\n';
        return ExitFailed;
    }
    const QString csvPath = context.parser.value(QStringLiteral("csv"));
    if (!csvPath.isEmpty()) {
        TableContent content;
        for (const QString &column : QueryColumns)
            content.fields << TableField{column, 0};
        for (const ArchivedRow &row : *rows)
            content.rows << Cells(row);
        TableStore table;
        table.SetContent(std::move(content));
        if (const TableResult written = WriteCsvFile(table, csvPath); !written) {
            context.err << written.error() << '\n';
            return ExitFailed;
        }
    }
    if (context.json) {
        QJsonArray events;
        for (const ArchivedRow &row : *rows)
            events.append(RowJson(row));
        QJsonObject object{{QStringLiteral("query"), query.description()},
                           {QStringLiteral("count"), int(rows->size())},
                           {QStringLiteral("events"), events}};
        if (!csvPath.isEmpty())
            object.insert(QStringLiteral("saved"), csvPath);
        PrintJson(context, object);
    } else if (!csvPath.isEmpty()) {
        context.out << rows->size() << (rows->size() == 1 ? " event" : " events") << " ("
                    << query.description() << ") saved: " << csvPath << '\n';
    } else {
        PrintTable(context.out, *rows);
        context.out << rows->size() << (rows->size() == 1 ? " event" : " events") << " ("
                    << query.description() << ")\n";
    }
    return ExitOk;
}

int runArchiveImport(CliContext &context)
{
    if (context.arguments.size() != 2)
        return badArgument(
            context, QStringLiteral("usage: kt480ctl records import FILE.xml --db DB --controller "
                                    "SERIAL"));
    const QString serialNumber = context.parser.value(ControllerOption).trimmed();
    if (serialNumber.isEmpty())
        return badArgument(context,
                           QStringLiteral("records import wants --controller SERIAL: the "
                                          "serial number of the controller the file came from"));
    if (!context.parser.isSet(DbOption))
        return badArgument(context, QStringLiteral("records import wants --db DB"));
    const QString path = context.arguments[1];
    TableStore file;
    const TableResult loaded = RecordFile::Load(file, path);
    if (!loaded) {
        context.err << loaded.error() << '\n';
        return ExitFailed;
    }
    const ArchiveOption option = OpenArchiveOption(context, EventArchive::Use::Write);
    if (!option.archive)
        return option.exitCode;

    TableStore events;
    RecordTable::Recreate(events);
    QStringList skipped;
    for (int row = 0; row < file.RecordCount(); ++row) {
        const EventRecord record = RecordTable::RowAt(file, row);
        if (IsEventRow(record))
            events.AppendRow(record.values());
        else
            skipped << QStringLiteral("row %1 (%2, %3)")
                           .arg(row + 1)
                           .arg(record.DataTime, record.iStatus);
    }
    const std::optional<EventArchive::Stored> stored =
        option.archive->store(ArchiveBatch::FromTable(serialNumber, QString(), events));
    if (!stored)
        context.err << option.archive->error() << '\n';
    if (!skipped.isEmpty())
        context.err << path << ": " << skipped.size()
                    << (skipped.size() == 1 ? " row is" : " rows are")
                    << " not an event (a date and time yyyy/MM/dd hh:mm:ss and a numeric code) "
                       "and not imported: "
                    << skipped.mid(0, NamedRows).join(QStringLiteral(", "))
                    << (skipped.size() > NamedRows ? QStringLiteral(", ...") : QString()) << '\n';
    const bool ok = stored && skipped.isEmpty();
    if (context.json) {
        QJsonObject object{{QStringLiteral("ok"), ok},
                           {QStringLiteral("file"), path},
                           {QStringLiteral("controller"), serialNumber},
                           {QStringLiteral("rows"), file.RecordCount()},
                           {QStringLiteral("skipped"), QJsonArray::fromStringList(skipped)},
                           {QStringLiteral("committed"), stored.has_value()}};
        if (stored) {
            object.insert(QStringLiteral("added"), stored->added);
            object.insert(QStringLiteral("present"), stored->present);
        }
        PrintJson(context, object);
    } else if (stored) {
        context.out << "imported from " << path << ": " << stored->added << " added, "
                    << stored->present << " in the archive already\n";
    }
    return ok ? ExitOk : ExitFailed;
}

int LoadArchiveReport(CliContext &context, const RecordFilter &filter, TableStore &table,
                      QString &heading, QString &controllers)
{
    const ArchiveOption option = OpenArchiveOption(context, EventArchive::Use::Read);
    if (!option.archive)
        return option.exitCode;
    const ArchiveQuery query{filter, context.parser.value(ControllerOption).trimmed(), 0};
    const std::optional<QList<ArchivedRow>> rows = option.archive->query(query);
    if (!rows) {
        context.err << option.archive->error() << '\n';
        return ExitFailed;
    }
    RecordTable::Recreate(table);
    QStringList serialNumbers;
    for (const ArchivedRow &row : *rows) {
        RecordTable::Append(table, row.record);
        if (!serialNumbers.contains(row.controller))
            serialNumbers << row.controller;
    }
    serialNumbers.sort();
    // A report that finds no event still names the controller it was asked for.
    controllers =
        serialNumbers.isEmpty() ? query.controller : serialNumbers.join(QStringLiteral(", "));
    heading = query.description();
    return ExitOk;
}
