#include "SdVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Language.h"
#include "NumberOption.h"
#include "ParamTransfer.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "ReplyTally.h"
#include "SdCardLabel.h"
#include "SdCardOperation.h"
#include "SharedFlag.h"

#include <QJsonObject>

namespace {

QString StateName(const std::optional<SdCardOperation::Status> &status)
{
    if (!status)
        return QStringLiteral("no answer");
    if (status->idle())
        return QStringLiteral("idle");
    if (status->backupRunning())
        return QStringLiteral("backup");
    if (status->restoreRunning())
        return QStringLiteral("restore");
    return QStringLiteral("unknown");
}

QString EndingName(SdCardOperation::Ending ending)
{
    switch (ending) {
    case SdCardOperation::Ending::Finished:
        return QStringLiteral("finished");
    case SdCardOperation::Ending::BusyWithBackup:
        return QStringLiteral("busy with a backup");
    case SdCardOperation::Ending::BusyWithRestore:
        return QStringLiteral("busy with a restore");
    case SdCardOperation::Ending::NoAnswer:
        return QStringLiteral("no answer");
    case SdCardOperation::Ending::StartFailed:
        return QStringLiteral("start not accepted");
    case SdCardOperation::Ending::NotStarted:
        return QStringLiteral("never started");
    case SdCardOperation::Ending::GaveUp:
        break;
    }
    return QStringLiteral("gave up following");
}

int Status(CliContext &context, Comm &comm, SdCardOperation &sd)
{
    const ReplyTally before = comm.replyTally();
    std::optional<SdCardOperation::Status> status = sd.readStatus();
    // A status cut short, or a reply nobody asked for beside it, is not the controller's state.
    if (status && !status->complete())
        status.reset();
    const quint64 strays = comm.replyTally().straysSince(before);
    if (strays > 0)
        status.reset();
    if (context.json) {
        QJsonObject object{{QStringLiteral("answered"), status.has_value()},
                           {QStringLiteral("state"), StateName(status)},
                           {QStringLiteral("strayReplies"), qint64(strays)}};
        if (status) {
            object.insert(QStringLiteral("count"), status->count);
            object.insert(QStringLiteral("sectors"), status->sectors);
            object.insert(QStringLiteral("card"), SdCardLabelForSectors(status->sectors));
        }
        PrintJson(context, object);
    } else {
        context.out << SdCardOperation::StateText(status) << '\n';
        if (status) {
            const QString card = SdCardLabelForSectors(status->sectors);
            context.out << "state: " << StateName(status) << '\n'
                        << "count: " << status->count << '\n'
                        << "card: " << (card.isEmpty() ? QStringLiteral("none") : card) << '\n';
        }
        if (strays > 0)
            context.err << StrayRepliesText(strays) << '\n';
    }
    return status ? ExitOk : ExitFailed;
}

int Run(CliContext &context, SdCardOperation &sd, SdCardOperation::Kind kind, const QString &slot)
{
    const SdCardOperation::Outcome outcome = sd.run(kind, slot);
    if (context.json) {
        const QJsonObject object{{QStringLiteral("complete"), outcome.finished()},
                                 {QStringLiteral("ending"), EndingName(outcome.ending)},
                                 {QStringLiteral("slot"), slot},
                                 {QStringLiteral("total"), outcome.total},
                                 {QStringLiteral("done"), outcome.done},
                                 {QStringLiteral("state"), StateName(outcome.last)}};
        PrintJson(context, object);
    } else {
        for (const QString &message : outcome.messages(kind))
            context.out << message << '\n';
    }
    return outcome.finished() ? ExitOk : ExitFailed;
}

} // namespace

int runSdVerb(CliContext &context)
{
    const QString action = context.arguments.value(0);
    const bool status = action == QLatin1String("status") && context.arguments.size() == 1;
    const bool copy = (action == QLatin1String("backup") || action == QLatin1String("restore")) &&
                      context.arguments.size() == 2;
    if (!status && !copy) {
        context.err << context.usage;
        return ExitUsage;
    }
    QString slot;
    if (copy) {
        const auto number = BoundedNumber(context.arguments[1], 1, SdCardOperation::SlotCount);
        if (!number) {
            context.err << "SLOT wants a whole number from 1 to 10, not \"" << context.arguments[1]
                        << "\"\n";
            return ExitUsage;
        }
        slot = SdCardOperation::SlotText(*number);
    }
    Comm comm;
    if (!ControllerSession::open(context, comm))
        return ExitFailed;
    ProgressState progress;
    SharedFlag clockReadPaused;
    const Language language;
    ParamTransfer transfer(comm, progress, clockReadPaused);
    SdCardOperation sd(transfer, clockReadPaused, language);
    const ProgressLine progressLine(context, progress);
    if (status)
        return Status(context, comm, sd);
    return Run(context, sd,
               action == QLatin1String("backup") ? SdCardOperation::Kind::Backup
                                                 : SdCardOperation::Kind::Restore,
               slot);
}
