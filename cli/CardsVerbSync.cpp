#include "CardsVerbSync.h"

#include "CardFile.h"
#include "CardSync.h"
#include "CardTransfer.h"
#include "CardsVerbDiff.h"
#include "CliContext.h"
#include "CliJson.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Language.h"
#include "NumberOption.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "TableStore.h"

#include <QJsonArray>

namespace {

// The controller equals the file over the range: after the writes, or before any (dry run).
bool equalsFile(const CardSync::Outcome &outcome)
{
    if (!outcome.complete())
        return false;
    return outcome.mode == CardSync::Mode::Apply || outcome.plan.identical();
}

void print(CliContext &context, const CardSync::Outcome &outcome, const CardRange &range)
{
    const bool dryRun = outcome.mode == CardSync::Mode::DryRun;
    if (context.json) {
        QJsonObject object{
            {QStringLiteral("dryRun"), dryRun},
            {QStringLiteral("complete"), outcome.complete()},
            {QStringLiteral("equalsFile"), equalsFile(outcome)},
            {QStringLiteral("from"), range.first()},
            {QStringLiteral("to"), range.last()},
            {QStringLiteral("nothingToSync"), outcome.nothingToSync},
            {QStringLiteral("invalidRows"), QJsonArray::fromStringList(outcome.invalidRows)},
            {QStringLiteral("written"), outcome.written},
            {QStringLiteral("cleared"), outcome.cleared},
            {QStringLiteral("unchanged"), outcome.unchanged},
            {QStringLiteral("unreadable"), outcome.unreadable},
            {QStringLiteral("failed"), int(outcome.failedNumbers.size())},
            {QStringLiteral("failedNumbers"), JsonNumbers(outcome.failedNumbers)},
            {QStringLiteral("doneNumbers"), JsonNumbers(outcome.doneNumbers)},
            {QStringLiteral("leftNumbers"), JsonNumbers(outcome.leftNumbers)},
            {QStringLiteral("stopped"), outcome.stopped},
            {QStringLiteral("linkLost"), outcome.linkLost},
            {QStringLiteral("strayReplies"),
             qint64(outcome.read.strayReplies + outcome.strayReplies)}};
        if (outcome.sent() && outcome.read.linkReady)
            object.insert(QStringLiteral("plan"), CardDiffJson(outcome.plan));
        PrintJson(context, object);
        return;
    }
    for (const QString &row : outcome.invalidRows)
        context.out << "invalid " << row << '\n';
    if (!outcome.sent() || !outcome.read.linkReady || outcome.read.stopped || outcome.read.linkLost)
        return;
    PrintCardDiff(context.out, outcome.plan);
    if (dryRun)
        return;
    context.out << "written " << outcome.written << ", cleared " << outcome.cleared
                << ", unchanged " << outcome.unchanged << ", unreadable " << outcome.unreadable
                << ", failed " << outcome.failedNumbers.size() << '\n';
    if (!outcome.failedNumbers.isEmpty())
        context.out << "failed: " << CardTransfer::numberList(outcome.failedNumbers) << '\n';
}

} // namespace

int runCardsSync(CliContext &context)
{
    if (context.arguments.size() != 2) {
        context.err << context.usage;
        return ExitUsage;
    }
    TableStore file;
    if (const TableResult loaded = CardFile::Load(file, context.arguments[1]); !loaded) {
        context.err << loaded.error() << '\n';
        return ExitFailed;
    }
    const CardSync::Mode mode = context.parser.isSet(QStringLiteral("dry-run"))
                                    ? CardSync::Mode::DryRun
                                    : CardSync::Mode::Apply;
    const CardRange range = CardRangeOption(context.parser);
    // A file that cannot be synced is refused before the controller hears anything.
    CardSync::Outcome outcome = CardSync::checkList(file, mode);
    if (outcome.sent()) {
        Comm comm;
        if (!ControllerSession::open(context, comm))
            return ExitFailed;
        ProgressState progress;
        SharedFlag clockReadPaused;
        const Language language;
        CardSync sync(comm, progress, clockReadPaused, language);
        const ProgressLine progressLine(context, progress);
        // The width of the card number in a write depends on the firmware: no write to a
        // controller whose serial number and version are not known.
        QString version;
        if (mode == CardSync::Mode::Apply) {
            const std::optional<ControllerSession::Identity> identity =
                ControllerSession::identifyOrSay(context, comm);
            if (!identity)
                return ExitFailed;
            version = identity->version;
        }
        outcome = sync.run(file, range, version, mode);
    }
    print(context, outcome, range);
    for (const QString &problem : outcome.problems())
        context.err << problem << '\n';
    return equalsFile(outcome) ? ExitOk : ExitFailed;
}
