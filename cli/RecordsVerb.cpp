#include "RecordsVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "ExchangePolicy.h"
#include "Language.h"
#include "NumberOption.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "RecordFile.h"
#include "RecordFilter.h"
#include "RecordJournal.h"
#include "RecordReader.h"
#include "RecordReport.h"
#include "RecordTable.h"
#include "RecordsArchive.h"
#include "Settings.h"
#include "TableCsv.h"
#include "TableJson.h"
#include "TableStore.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool openController(CliContext &context, Comm &comm)
{
    return ControllerSession::open(context, comm);
}

int countEvents(CliContext &context)
{
    Comm comm;
    if (!openController(context, comm))
        return ExitFailed;
    ProgressState progress;
    const Language language;
    RecordReader reader(comm, progress, language);
    const std::optional<qint64> count = reader.countQuery();
    if (!count) {
        context.err << "the controller did not answer the count query\n";
        return ExitFailed;
    }
    if (context.json)
        PrintJson(context, {{QStringLiteral("count"), *count}});
    else
        context.out << *count << '\n';
    return ExitOk;
}

// The controller's serial number names its journal.
QString readSerialNumber(Comm &comm)
{
    ExchangePolicy::Rule rule;
    rule.attempts = ExchangePolicy::SerialNumberChecks;
    rule.minimumPayload = ExchangePolicy::IdentityMinimumPayload;
    ExchangePolicy policy(comm, rule);
    const ExchangeReply reply = policy.send(QStringLiteral("AS"));
    return reply.accepted() ? reply.payload.trimmed() : QString();
}

struct Saved
{
    QStringList files;
    QStringList errors;
};

bool IsCsv(const QString &path)
{
    return path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
}

// The events of this read added after those the file holds already (an existing event file
// never ends up with fewer events), the whole file then saved in one piece.
TableResult AddEvents(const TableStore &read, const QString &path)
{
    TableStore file;
    if (QFileInfo::exists(path)) {
        const TableResult loaded =
            IsCsv(path) ? ReadCsvFile(path, file) : RecordFile::Load(file, path);
        if (!loaded)
            return loaded;
        if (!RecordTable::HasRecordFields(file))
            return TableResult::Failure(
                QStringLiteral("%1: not a record file; the events were not added to it").arg(path));
    } else {
        RecordTable::Recreate(file);
    }
    for (int row = 0; row < read.RecordCount(); ++row)
        RecordTable::Append(file, RecordTable::RowAt(read, row));
    return IsCsv(path) ? WriteCsvFile(file, path) : RecordFile::Save(file, path);
}

Saved saveRead(const TableStore &table, const QString &xmlPath, const QString &csvPath)
{
    Saved saved;
    if (table.IsEmpty())
        return saved;
    for (const QString &path : {xmlPath, csvPath}) {
        if (path.isEmpty())
            continue;
        if (const TableResult result = AddEvents(table, path); result)
            saved.files << path;
        else
            saved.errors << result.error();
    }
    return saved;
}

int readEvents(CliContext &context)
{
    if (context.arguments.size() != 1)
        return UsageError(context);
    const qint64 limit = context.parser.isSet(QStringLiteral("limit"))
                             ? NumberOptionValue(context.parser, QStringLiteral("limit"), 0)
                             : RecordReader::NoLimit;
    const QString csvPath = context.parser.value(QStringLiteral("csv"));
    const QString xmlPath = context.parser.value(QStringLiteral("out"));
    // Before the controller is asked for anything: an archive that cannot take the events is
    // named before one is acknowledged.
    const ArchiveOption archive = OpenArchiveOption(context, EventArchive::Use::Write);
    if (archive.exitCode != ExitOk)
        return archive.exitCode;

    Comm comm;
    if (!openController(context, comm))
        return ExitFailed;
    const QString serialNumber = readSerialNumber(comm);
    if (serialNumber.isEmpty()) {
        context.err << "the controller did not give its serial number\n";
        return ExitFailed;
    }
    RecordJournal journal(
        RecordJournal::PathFor(RecordJournal::Folder(Settings().filePath()), serialNumber));
    if (!journal.open()) {
        context.err << journal.error() << '\n';
        return ExitFailed;
    }
    // Damaged lines are named on every read until someone has looked at them.
    if (!journal.unreadableNote().isEmpty())
        context.err << journal.unreadableNote() << '\n';

    // What an earlier read acknowledged and never saved comes first.
    TableStore table;
    RecordTable::Recreate(table);
    const QList<JournalEntry> recovered = journal.pending();
    for (const JournalEntry &entry : recovered)
        RecordTable::Append(table, entry.record);

    ProgressState progress;
    const Language language;
    RecordReader reader(comm, progress, language);
    const ProgressLine progressLine(context, progress);
    const ReadOutcome outcome = reader.read(table, journal, limit);

    // The journal is cleared only after the archive has committed; a run that ends in between
    // stores the same entries again at its next read, which adds nothing.
    const ArchiveOutcome archived =
        StoreJournal(archive.archive.get(), serialNumber, QString(), journal);
    // Killed between the save and the journal's clearing, the next read finds the events in
    // these files and does not save them again (unless the archive still lacks them).
    bool noted = false;
    if (archived.ok() && journal.pendingCount() > 0 && !table.IsEmpty()) {
        QStringList paths;
        for (const QString &path : {xmlPath, csvPath}) {
            if (!path.isEmpty())
                paths << path;
        }
        noted = !paths.isEmpty() && journal.noteSaving(paths);
        if (!paths.isEmpty() && !noted)
            context.err << journal.error() << '\n';
    }
    const Saved saved = saveRead(table, xmlPath, csvPath);
    // A save that failed took the events nowhere: the journal forgets where they were to go,
    // so that no later read looks for them in this run's files.
    if (noted && !saved.errors.isEmpty() && !journal.noteSaving({}))
        context.err << journal.error() << '\n';
    const bool everythingSaved = archived.ok() && saved.errors.isEmpty() &&
                                 (table.IsEmpty() || !saved.files.isEmpty() || archived.committed);
    const bool clearFailed =
        everythingSaved && journal.pendingCount() > 0 && !journal.clearPending();
    if (clearFailed)
        context.err << journal.error() << '\n';
    const int unsaved = journal.pendingCount();
    // A journal line that cannot be read may be an event in no file: the run has not saved
    // every event, as for a controller of fleet records.
    const bool ok = outcome.complete() && unsaved == 0 && journal.unreadableLines().isEmpty();

    if (context.json) {
        // "complete" is the read, "ok" the whole run (the exit code).
        QJsonObject object{
            {QStringLiteral("ok"), ok},
            {QStringLiteral("end"), outcome.endName()},
            {QStringLiteral("complete"), outcome.complete()},
            {QStringLiteral("read"), outcome.read},
            {QStringLiteral("recovered"), int(recovered.size())},
            {QStringLiteral("unknown"), outcome.unknown},
            {QStringLiteral("duplicates"), outcome.duplicates},
            {QStringLiteral("problems"), QJsonArray::fromStringList(outcome.problems)},
            {QStringLiteral("saved"), QJsonArray::fromStringList(saved.files)},
            {QStringLiteral("unsaved"), unsaved},
            {QStringLiteral("journal"), journal.path()},
            {QStringLiteral("unreadableJournalLines"), JsonNumbers(journal.unreadableLines())},
            {QStringLiteral("rows"),
             QJsonDocument::fromJson(TableToJson(table)).object().value(QStringLiteral("rows"))}};
        if (outcome.remaining)
            object.insert(QStringLiteral("remaining"), *outcome.remaining);
        if (archived.given)
            object.insert(QStringLiteral("archive"), archived.json());
        PrintJson(context, object);
    } else {
        if (!recovered.isEmpty())
            context.out << "taken from the journal of an earlier read: " << recovered.size()
                        << '\n';
        context.out << outcome.summary(unsaved == 0 && saved.errors.isEmpty()) << '\n';
        for (const QString &file : saved.files)
            context.out << "saved: " << file << '\n';
        if (archived.committed)
            context.out << "archive: " << archived.stored.added << " added, "
                        << archived.stored.present << " there already\n";
        if (table.IsEmpty())
            context.out << "no events; no file written\n";
    }
    for (const QString &error : saved.errors)
        context.err << error << '\n';
    if (!archived.error.isEmpty())
        context.err << archived.error << '\n';
    const char *const eventsAre = unsaved == 1 ? " event is" : " events are";
    if (clearFailed) {
        // Saved, yet still journalled: the next read takes them in again. The note of where
        // they went (or the archive's key) keeps it from saving them twice.
        const bool notTwice = noted || saved.files.isEmpty();
        context.err << unsaved << eventsAre << " saved, but stay in " << journal.path()
                    << ", which could not be cleared; the next 'records read' takes them in again"
                    << (notTwice ? " and saves none of them twice\n"
                                 : " and may save them a second time\n");
    } else if (unsaved > 0)
        context.err << unsaved << eventsAre
                    << " not saved in a file or the archive; they are kept in " << journal.path()
                    << " and taken into the next 'records read' (give --out, --csv or --db)\n";
    return ok ? ExitOk : ExitFailed;
}

std::optional<int> languageIndex(const QString &name)
{
    if (name.isEmpty() || name.compare(QLatin1String("en"), Qt::CaseInsensitive) == 0)
        return Language::English;
    if (name.compare(QLatin1String("zh-TW"), Qt::CaseInsensitive) == 0)
        return Language::TraditionalChinese;
    if (name.compare(QLatin1String("zh-CN"), Qt::CaseInsensitive) == 0)
        return Language::SimplifiedChinese;
    return std::nullopt;
}

bool readFilter(CliContext &context, RecordFilter &filter, QString &problem)
{
    const QCommandLineParser &p = context.parser;
    if (p.isSet(QStringLiteral("since"))) {
        filter.since = RecordFilter::parseMoment(p.value(QStringLiteral("since")), false);
        if (!filter.since)
            problem = QStringLiteral("--since wants a date: 2008-09-22 or 2008-09-22T14:05");
    }
    if (p.isSet(QStringLiteral("until"))) {
        filter.until = RecordFilter::parseMoment(p.value(QStringLiteral("until")), true);
        if (!filter.until)
            problem = QStringLiteral("--until wants a date: 2008-09-29 or 2008-09-29T18:00");
    }
    if (p.isSet(QStringLiteral("card"))) {
        filter.card = p.value(QStringLiteral("card")).trimmed();
        if (filter.card->isEmpty())
            problem = QStringLiteral("--card wants a card number");
    }
    if (p.isSet(QStringLiteral("code")) && !filter.setCodes(p.value(QStringLiteral("code"))))
        problem = QStringLiteral("--code wants event codes: 11, 40-50 or 41,43");
    return problem.isEmpty();
}

int reportEvents(CliContext &context)
{
    const bool fromArchive = context.parser.isSet(QStringLiteral("db"));
    if (context.arguments.size() != (fromArchive ? 1 : 2))
        return UsageError(context);
    const QString csvPath = context.parser.value(QStringLiteral("csv"));
    const QString pdfPath = context.parser.value(QStringLiteral("pdf"));
    if (pdfPath.isEmpty() && csvPath.isEmpty())
        return UsageError(context, QStringLiteral("give --pdf OUT.pdf or --csv OUT.csv"));
    const std::optional<int> language = languageIndex(context.parser.value(QStringLiteral("lang")));
    if (!language)
        return UsageError(context, QStringLiteral("--lang is en, zh-TW or zh-CN"));
    RecordFilter filter;
    QString problem;
    if (!readFilter(context, filter, problem))
        return UsageError(context, problem);

    TableStore table;
    QString heading;
    QString controllers;
    if (fromArchive) {
        if (const int code = LoadArchiveReport(context, filter, table, heading, controllers);
            code != ExitOk)
            return code;
    } else if (const TableResult loaded = RecordFile::Load(table, context.arguments[1]); !loaded) {
        context.err << loaded.error() << '\n';
        return ExitFailed;
    }
    TableStore chosen;
    filter.apply(table, chosen);
    // A record file does not say which controller its events came from; the archive does.
    const RecordReport report(chosen, *language, {controllers, filter});
    QStringList errors;
    if (!pdfPath.isEmpty()) {
        const TableResult written = report.writePdf(pdfPath);
        if (!written)
            errors << written.error();
    }
    if (!csvPath.isEmpty()) {
        const TableResult written = WriteCsvFile(chosen, csvPath);
        if (!written)
            errors << written.error();
    }
    if (context.json) {
        QJsonObject object{{QStringLiteral("rows"), chosen.RecordCount()},
                           {QStringLiteral("of"), table.RecordCount()},
                           {QStringLiteral("pages"), pdfPath.isEmpty() ? 0 : report.pageCount()},
                           {QStringLiteral("errors"), QJsonArray::fromStringList(errors)}};
        if (!heading.isEmpty())
            object.insert(QStringLiteral("query"), heading);
        PrintJson(context, object);
    } else {
        if (!heading.isEmpty())
            context.out << "archive: " << heading << '\n';
        context.out << "rows: " << chosen.RecordCount() << " of " << table.RecordCount() << '\n';
        if (!pdfPath.isEmpty() && errors.isEmpty())
            context.out << "pages: " << report.pageCount() << '\n';
    }
    for (const QString &error : errors)
        context.err << error << '\n';
    return errors.isEmpty() ? ExitOk : ExitFailed;
}

} // namespace

int runRecordsVerb(CliContext &context)
{
    const QString action = context.arguments.value(0);
    if (action == QLatin1String("report"))
        return reportEvents(context);
    if (action == QLatin1String("import"))
        return runArchiveImport(context);
    if (action == QLatin1String("query")) {
        RecordFilter filter;
        QString problem;
        return readFilter(context, filter, problem) ? runArchiveQuery(context, filter)
                                                    : UsageError(context, problem);
    }
    if (action == QLatin1String("count"))
        return context.arguments.size() == 1 ? countEvents(context) : UsageError(context);
    return readEvents(context);
}
