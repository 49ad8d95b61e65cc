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

} // namespace

int runFleetVerb(CliContext &context)
{
    const QString action = context.arguments.value(0);
    const bool records = action == QLatin1String("records");
    if ((action != QLatin1String("backup") && action != QLatin1String("restore") && !records) ||
        context.arguments.size() != (records ? 2 : 3))
        return UsageError(context);
    // An empty DIR (an unset shell variable) would put every folder into the current one.
    if (!records && context.arguments[2].trimmed().isEmpty())
        return UsageError(context, QStringLiteral("DIR is empty"));
    if (records && !context.parser.isSet(QStringLiteral("db")))
        return UsageError(context, QStringLiteral("fleet records wants --db DB"));
    const bool dryRun = context.parser.isSet(QStringLiteral("dry-run"));

    FleetTask task;
    task.action = action == QLatin1String("backup") ? FleetTask::Action::Backup
                  : records                         ? FleetTask::Action::Records
                  : dryRun                          ? FleetTask::Action::DryRun
                                                    : FleetTask::Action::Restore;
    task.folder = context.arguments.value(2);
    task.force = context.parser.isSet(QStringLiteral("force"));
    task.sync = context.parser.isSet(QStringLiteral("sync"));
    task.cards = CardRangeOption(context.parser);
    task.trace = context.link.trace();
    const int jobs = NumberOptionValue(context.parser, QStringLiteral("jobs"), DefaultJobs);
    task.settleMs = NumberOptionValue(context.parser, QStringLiteral("settle-ms"), task.settleMs);
    task.checkCeiling =
        NumberOptionValue(context.parser, QStringLiteral("check-to"), task.checkCeiling);

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
            return UsageError(context, QStringLiteral("--db: ") + error);
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
        *controllers, jobs, [&task](const FleetController &c) { return RunFleetJob(c, task); },
        [&](const FleetResult &result) {
            ++done;
            if (showProgress)
                context.err << '[' << done << '/' << controllers->size() << "] " << result.name
                            << (result.complete() ? " done" : " FAILED") << '\n'
                            << Qt::flush;
        });
    const qint64 elapsed = clock.elapsed();
    // Named on every run until someone has looked at them, as records read names them.
    for (const FleetResult &result : results) {
        if (!result.unreadableJournalNote.isEmpty())
            context.err << result.unreadableJournalNote << '\n';
    }

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
