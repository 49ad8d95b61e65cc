#include "BackupVerb.h"

#include "AllBackup.h"
#include "BackupFolder.h"
#include "BackupRecord.h"
#include "CardFile.h"
#include "CliContext.h"
#include "CliJson.h"
#include "CliPrompt.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Language.h"
#include "NumberOption.h"
#include "ParamFilePaths.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace {

// The backup is made in a folder of its own inside DIR and moved into place only when both
// files are complete, with the record of the controller they came from: an incomplete backup
// never leaves one controller's parameter file beside another's card file.
AllBackup::Outcome backup(AllBackup &all, CliContext &context, const QString &dir,
                          const ControllerSession::Identity &identity, const QString &deviceId)
{
    AllBackup::Outcome outcome;
    // Nothing was read: both halves say why.
    const auto notRead = [&outcome](const QString &problem) {
        outcome.parameterProblems << problem;
        outcome.cardProblems << problem;
        return outcome;
    };
    if (!QDir().mkpath(dir))
        return notRead(QStringLiteral("%1: cannot create the folder; nothing was read").arg(dir));
    BackupFolder staging(dir, QStringLiteral(".backup.incomplete"));
    if (!staging.isValid())
        return notRead(QStringLiteral("%1: cannot create a folder there: %2; nothing was read")
                           .arg(dir, staging.errorString()));
    outcome =
        all.backup(staging.parameterPath(), staging.cardPath(), CardRangeOption(context.parser));
    QString error;
    if (outcome.complete() && outcome.cardsRead) {
        const BackupRecord record =
            BackupRecord::Describe(QString(), identity.serialNumber, identity.version, deviceId,
                                   *outcome.cardsRead, staging.parameterPath(), staging.cardPath());
        if (record.save(staging.path(), error) && staging.moveFilesInto(dir, error)) {
            const QString from = staging.path();
            for (QString &line : outcome.done)
                line.replace(from, QDir::cleanPath(dir));
            return outcome;
        }
        outcome.cardsComplete = false;
        outcome.cardProblems << error;
    }
    if (!staging.isEmpty())
        outcome.cardProblems << QStringLiteral("what was read is in %1; the files in %2 were "
                                               "left as they were")
                                    .arg(staging.keep(), dir);
    return outcome;
}

AllBackup::Outcome restore(AllBackup &all, CliContext &context, const QString &dir,
                           const QString &parameterFile, const QString &cardFile,
                           const ControllerSession::Identity &identity)
{
    constexpr int SettlePassMs = 10;
    const int settleMs = NumberOptionValue(context.parser, QStringLiteral("settle-ms"), 10000);
    all.setSettleWait(settleMs / SettlePassMs, SettlePassMs);
    all.setOutsideCheckCeiling(NumberOptionValue(context.parser, QStringLiteral("check-to"),
                                                 CardsOutsideRange::DefaultCeiling));
    AllBackup::Outcome outcome;
    const bool force = context.parser.isSet(QStringLiteral("force"));
    AllBackup::RestorePlan plan;
    plan.force = force;
    plan.sync = context.parser.isSet(QStringLiteral("sync"));
    auto refuse = [&outcome](const QString &problem) {
        const QString line = problem + QStringLiteral("; nothing was written (--force writes "
                                                      "anyway)");
        outcome.parameterProblems << line;
        outcome.cardProblems << line;
        return outcome;
    };
    if (BackupRecord::existsIn(dir)) {
        QString error;
        const std::optional<BackupRecord> record = BackupRecord::load(dir, error);
        if (!record)
            return refuse(error);
        if (const QString mismatch = record->fileMismatch(parameterFile, cardFile);
            !mismatch.isEmpty() && !force)
            return refuse(mismatch);
        if (record->serialNumber != identity.serialNumber && !force)
            return refuse(QStringLiteral("the controller's serial number %1 is not the %2 of "
                                         "the backup")
                              .arg(identity.serialNumber, record->serialNumber));
        plan.backupRange = record->cardRange;
        plan.rangeRecorded = record->cardRangeRecorded;
    }
    return all.restore(parameterFile, cardFile, identity.version, plan);
}

} // namespace

int runBackupVerb(CliContext &context)
{
    const bool isBackup = context.parser.positionalArguments().value(0) == QLatin1String("backup");
    const QString dirPath = context.arguments.first();
    const QDir dir(dirPath);
    const QString parameterFile = dir.filePath(ParamFilePaths::DefaultFileName);
    const QString cardFile = dir.filePath(CardFile::DefaultFileName);
    // A backup a kill left half moved into DIR is finished before anything else.
    if (const QString problem = BackupFolder::RecoverFiles(dirPath); !problem.isEmpty()) {
        context.err << problem << '\n';
        return ExitFailed;
    }

    Comm comm;
    if (!ControllerSession::open(context, comm))
        return ExitFailed;
    // Nothing is read for a file or written to a controller that is not known.
    const std::optional<ControllerSession::Identity> known =
        ControllerSession::identifyOrSay(context, comm);
    if (!known)
        return ExitFailed;
    const ControllerSession::Identity &identity = *known;
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    CliPrompt prompt(context.err);
    const Language language;
    const ProgressLine progressLine(context, progress);
    AllBackup all(comm, *settings, progress, clockReadPaused, batchMode, prompt, language);
    const AllBackup::Outcome outcome =
        isBackup ? backup(all, context, dirPath, identity, comm.DeviceIDText())
                 : restore(all, context, dirPath, parameterFile, cardFile, identity);
    if (context.json) {
        const QJsonObject object{
            {QStringLiteral("complete"), outcome.complete()},
            {QStringLiteral("parametersComplete"), outcome.parametersComplete},
            {QStringLiteral("cardsComplete"), outcome.cardsComplete},
            {QStringLiteral("parameterProblems"),
             QJsonArray::fromStringList(outcome.parameterProblems)},
            {QStringLiteral("cardProblems"), QJsonArray::fromStringList(outcome.cardProblems)},
            {QStringLiteral("notes"), QJsonArray::fromStringList(outcome.done)},
            {QStringLiteral("outsideCards"), JsonNumbers(outcome.outsideCards)},
            {QStringLiteral("serialNumber"), identity.serialNumber},
            {QStringLiteral("version"), identity.version},
            {QStringLiteral("parameterFile"), parameterFile},
            {QStringLiteral("cardFile"), cardFile}};
        PrintJson(context, object);
    } else {
        context.out << outcome.reportText() << '\n';
    }
    return outcome.complete() ? ExitOk : ExitFailed;
}
