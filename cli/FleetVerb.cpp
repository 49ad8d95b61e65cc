#include "FleetVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "ControllerSession.h"
#include "FleetRecords.h"
#include "FleetRunner.h"
#include "FleetSite.h"
#include "FleetSummary.h"
#include "LinkOptions.h"
#include "NumberOption.h"
#include "RecordJournal.h"
#include "Settings.h"

#include <QCommandLineParser>
#include <QElapsedTimer>

namespace {

constexpr int DefaultJobs = 8;
constexpr int MaxJobs = 256;
constexpr int MaxSettleMs = 600000;

int usage(CliContext &context, const QString &problem = QString())
{
    if (!problem.isEmpty())
        context.err << problem << '\n';
    context.err << "usage: kt480ctl fleet backup SITE.csv DIR [--jobs N] [--from N] [--to M]\n"
                   "       kt480ctl fleet records SITE.csv --db DB [--jobs N]\n"
                   "       kt480ctl fleet restore SITE.csv DIR [--jobs N] [--force] "
                   "[--settle-ms MS]\n"
                   "       kt480ctl fleet restore SITE.csv DIR --dry-run [--jobs N] [--from N] "
                   "[--to M]\n";
    return ExitUsage;
}

// A numeric fleet option, or nothing (message written) when it is out of its range.
std::optional<int> option(CliContext &context, const char *name, int lowest, int highest,
                          int fallback)
{
    const QString key = QLatin1String(name);
    if (!context.parser.isSet(key))
        return fallback;
    const auto value = BoundedNumber(context.parser.value(key), lowest, highest);
    if (!value)
        context.err << "--" << key << " wants a whole number from " << lowest << " to " << highest
                    << '\n';
    return value;
}

} // namespace

void addFleetOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("jobs"),
                      QStringLiteral("fleet: controllers worked at once (default 8)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("dry-run"),
                      QStringLiteral("fleet restore: show what a restore would change; change "
                                     "nothing.")});
    parser.addOption({QStringLiteral("force"),
                      QStringLiteral("fleet restore: write also into a controller whose serial "
                                     "number is not the backup's.")});
    parser.addOption({QStringLiteral("settle-ms"),
                      QStringLiteral("fleet restore: wait after deleting all cards (default "
                                     "10000)."),
                      QStringLiteral("MS")});
}

int runFleetVerb(CliContext &context)
{
    const QString action = context.arguments.value(0);
    const bool records = action == QLatin1String("records");
    if ((action != QLatin1String("backup") && action != QLatin1String("restore") && !records) ||
        context.arguments.size() != (records ? 2 : 3))
        return usage(context);
    // An empty DIR (an unset shell variable) would put every folder into the current one.
    if (!records && context.arguments[2].trimmed().isEmpty())
        return usage(context, QStringLiteral("DIR is empty"));
    if (records != context.parser.isSet(QStringLiteral("db")))
        return usage(context, records ? QStringLiteral("fleet records wants --db DB")
                                      : QStringLiteral("--db is for fleet records"));
    const bool dryRun = context.parser.isSet(QStringLiteral("dry-run"));
    if (dryRun && action != QLatin1String("restore"))
        return usage(context, QStringLiteral("--dry-run is for fleet restore"));

    FleetTask task;
    task.action = action == QLatin1String("backup") ? FleetTask::Action::Backup
                  : records                         ? FleetTask::Action::Records
                  : dryRun                          ? FleetTask::Action::DryRun
                                                    : FleetTask::Action::Restore;
    task.folder = context.arguments.value(2);
    task.force = context.parser.isSet(QStringLiteral("force"));
    task.cards = CardRangeOption(context.parser);
    task.trace = context.link.trace();
    const auto jobs = option(context, "jobs", 1, MaxJobs, DefaultJobs);
    const auto settle = option(context, "settle-ms", 0, MaxSettleMs, task.settleMs);
    if (!jobs || !settle)
        return ExitUsage;
    task.settleMs = *settle;

    QString error;
    const auto controllers = FleetSite::Load(context.arguments[1], error);
    if (!controllers) {
        context.err << error << '\n';
        return ExitUsage;
    }
    if (records) {
        const auto address =
            ArchiveAddress::parse(context.parser.value(QStringLiteral("db")), error);
        if (!address)
            return usage(context, QStringLiteral("--db: ") + error);
        task.archive = *address;
        task.journalFolder = RecordJournal::Folder(Settings().filePath());
        if (const QString problem = PrepareFleetArchive(task.archive); !problem.isEmpty()) {
            context.err << problem << '\n';
            return ExitFailed;
        }
    }

    const bool showProgress = !context.json && ControllerSession::stderrIsTerminal();
    qsizetype done = 0;
    QElapsedTimer clock;
    clock.start();
    const QList<FleetResult> results = FleetRunner::run(
        *controllers, *jobs, [&task](const FleetController &c) { return RunFleetJob(c, task); },
        [&](const FleetResult &result) {
            ++done;
            if (showProgress)
                context.err << '[' << done << '/' << controllers->size() << "] " << result.name
                            << (result.complete() ? " done" : " FAILED") << '\n'
                            << Qt::flush;
        });
    const qint64 elapsed = clock.elapsed();

    if (context.json) {
        PrintJson(context, FleetSummary::json(task, results, elapsed));
    } else {
        if (task.action == FleetTask::Action::DryRun) {
            for (const FleetResult &result : results)
                FleetSummary::printChanges(context.out, result);
        }
        FleetSummary::print(context.out, task, results, elapsed);
    }
    const bool complete = std::all_of(results.cbegin(), results.cend(),
                                      [](const FleetResult &r) { return r.complete(); });
    return complete ? ExitOk : ExitFailed;
}
