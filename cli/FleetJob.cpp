#include "FleetJob.h"

#include "AllBackup.h"
#include "BackupFolder.h"
#include "BackupRecord.h"
#include "CardFile.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "DeviceId.h"
#include "FleetDryRun.h"
#include "FleetRecords.h"
#include "FleetSite.h"
#include "Language.h"
#include "ParamFilePaths.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "TableStore.h"
#include "TraceSink.h"
#include "UserPrompt.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace {

constexpr int SettlePassMs = 10;

// Nobody is at the screen: messages become notes, questions are answered No (an earlier file
// is never replaced by an incomplete one), no file is chosen.
class FleetPrompt : public UserPrompt
{
public:
    explicit FleetPrompt(QStringList &notes) : notes_(notes) {}

    void message(const QString &text, const QString &) override { notes_ << text; }
    bool question(const QString &text, const QString &) override
    {
        notes_ << text + QStringLiteral(" (answered no)");
        return false;
    }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }

private:
    QStringList &notes_;
};

// The rows of a table file; -1 when it cannot be read.
int rowsIn(const QString &path)
{
    TableStore table;
    return table.LoadFromFile(path) ? table.RecordCount() : -1;
}

void addProblems(FleetResult &result, const QString &half, const QStringList &problems)
{
    for (const QString &problem : problems)
        result.failures << half + problem;
}

// The controller the row names, and no other: the serial number of its own Device ID, then
// its version.
bool identify(Comm &comm, FleetResult &result)
{
    const ControllerSession::Identity identity = ControllerSession::identify(comm);
    result.serialNumber = identity.serialNumber;
    result.version = identity.version;
    if (!identity.known())
        result.failures << identity.problem;
    return identity.known();
}

// The backup is made in a folder of its own beside the controller's and replaces that folder
// whole only when it is complete: an incomplete or broken-off backup never replaces a file of
// the earlier one and never stands beside its record.
// `earlier` is the serial number the folder's record names, when it names one.
void backup(Comm &comm, const FleetController &controller, const FleetTask &task,
            const QString &folder, const QString &earlier, FleetResult &result)
{
    // Another controller answers where the folder's was: a person should know whether its
    // backup was replaced.
    const auto otherController = [&](bool replaced) {
        if (earlier.isEmpty() || earlier == result.serialNumber)
            return;
        result.notes << (replaced ? QStringLiteral("%1 held the backup of the controller with "
                                                   "serial number %2; it is replaced by this "
                                                   "controller's (%3)")
                                  : QStringLiteral("%1 still holds the backup of the controller "
                                                   "with serial number %2, not this "
                                                   "controller's (%3)"))
                            .arg(folder, earlier, result.serialNumber);
    };
    QDir().mkpath(task.folder);
    BackupFolder staging(task.folder, controller.name + QStringLiteral(".incomplete"));
    if (!staging.isValid()) {
        result.failures << QStringLiteral("%1: cannot create a folder there: %2")
                               .arg(task.folder, staging.errorString());
        otherController(false);
        return;
    }
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    FleetPrompt prompt(result.notes);
    const Language language;
    AllBackup all(comm, *settings, progress, clockReadPaused, batchMode, prompt, language);
    const AllBackup::Outcome outcome =
        all.backup(staging.parameterPath(), staging.cardPath(), task.cards);
    addProblems(result, QStringLiteral("parameters: "), outcome.parameterProblems);
    addProblems(result, QStringLiteral("cards: "), outcome.cardProblems);
    if (!outcome.parametersComplete && outcome.parameterProblems.isEmpty())
        result.failures << QStringLiteral("parameters: not complete");
    if (!outcome.cardsComplete && outcome.cardProblems.isEmpty())
        result.failures << QStringLiteral("cards: not complete");
    result.parameters = rowsIn(staging.parameterPath());
    result.cards = rowsIn(staging.cardPath());
    bool moving = false;
    if (outcome.complete() && outcome.cardsRead) {
        // Only a complete backup says which controller the folder holds.
        const BackupRecord record = BackupRecord::Describe(
            controller.name, result.serialNumber, result.version, comm.DeviceIDText(),
            *outcome.cardsRead, staging.parameterPath(), staging.cardPath());
        QString error;
        if (!record.save(staging.path(), error)) {
            result.failures << error;
        } else if (staging.replaceFolder(folder, error)) {
            otherController(true);
            return;
        } else {
            result.failures << error;
            moving = true;
        }
    }
    otherController(false);
    if (staging.isEmpty())
        return;
    // What was read is kept for a person to look at, apart from the controller's folder.
    const QString kept = staging.keep();
    result.failures << (moving ? QStringLiteral("what was read is in %1").arg(kept)
                               : QStringLiteral("what was read is in %1; %2 was left as it was")
                                     .arg(kept, folder));
}

void restore(Comm &comm, const FleetTask &task, const QString &folder,
             const AllBackup::RestorePlan &plan, FleetResult &result)
{
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    FleetPrompt prompt(result.notes);
    const Language language;
    AllBackup all(comm, *settings, progress, clockReadPaused, batchMode, prompt, language);
    all.setSettleWait(task.settleMs / SettlePassMs, SettlePassMs);
    all.setOutsideCheckCeiling(task.checkCeiling);
    const QString parameterPath = QDir(folder).filePath(ParamFilePaths::DefaultFileName);
    const QString cardPath = QDir(folder).filePath(CardFile::DefaultFileName);
    const AllBackup::Outcome outcome = all.restore(parameterPath, cardPath, result.version, plan);
    result.notes << outcome.done;
    addProblems(result, QStringLiteral("parameters: "), outcome.parameterProblems);
    addProblems(result, QStringLiteral("cards: "), outcome.cardProblems);
    if (!outcome.complete() && result.failures.isEmpty())
        result.failures << QStringLiteral("the restore is not complete");
    result.parameters = rowsIn(parameterPath);
    result.cards = rowsIn(cardPath);
}

} // namespace

FleetResult RunFleetJob(const FleetController &controller, const FleetTask &task)
{
    FleetResult result;
    result.name = controller.name;
    result.where = controller.where();
    QElapsedTimer clock;
    clock.start();
    const auto stop = qScopeGuard([&] { result.milliseconds = clock.elapsed(); });
    if (!controller.refusal.isEmpty()) {
        result.failures << controller.refusal;
        return result;
    }

    const QString folder = QDir(task.folder).filePath(controller.name);
    // A backup killed while it replaced this folder left the earlier one aside.
    BackupFolder::RecoverFolder(folder);
    const bool restoring =
        task.action == FleetTask::Action::Restore || task.action == FleetTask::Action::DryRun;
    const QString refused = task.action == FleetTask::Action::DryRun
                                ? QStringLiteral("; a restore would write nothing (unless --force)")
                                : QStringLiteral("; nothing was written (--force writes anyway)");
    std::optional<BackupRecord> record;
    if (restoring) {
        if (!QFileInfo(folder).isDir()) {
            result.failures << QStringLiteral("no backup folder %1; nothing was done").arg(folder);
            return result;
        }
        QString error;
        record = BackupRecord::load(folder, error);
        if (!record && !task.force) {
            result.failures << error +
                                   QStringLiteral(": the controller cannot be checked "
                                                  "against the backup") +
                                   refused;
            if (task.action == FleetTask::Action::Restore)
                return result;
        }
        const QString mismatch =
            record ? record->fileMismatch(QDir(folder).filePath(ParamFilePaths::DefaultFileName),
                                          QDir(folder).filePath(CardFile::DefaultFileName))
                   : QString();
        if (!mismatch.isEmpty() && !task.force) {
            result.failures << mismatch + refused;
            if (task.action == FleetTask::Action::Restore)
                return result;
        }
    } else if (BackupRecord::existsIn(folder)) {
        QString error;
        record = BackupRecord::load(folder, error);
    }

    Comm comm;
    if (task.trace)
        task.trace->attach(comm, controller.name);
    const LinkOptions link = controller.link;
    if (!link.open(comm)) {
        result.failures << link.error();
        return result;
    }
    comm.setDeviceIDText(NormaliseDeviceId(QString::number(controller.deviceId)));
    if (!identify(comm, result))
        return result;

    if (restoring && record && record->serialNumber != result.serialNumber) {
        const QString mismatch =
            QStringLiteral("the controller's serial number %1 is not the %2 of the backup")
                .arg(result.serialNumber, record->serialNumber);
        if (!task.force) {
            result.failures << mismatch + refused;
            if (task.action == FleetTask::Action::Restore)
                return result;
        } else {
            result.notes << mismatch + QStringLiteral("; written anyway (--force)");
        }
    }

    AllBackup::RestorePlan plan;
    plan.force = task.force;
    plan.sync = task.sync;
    if (record) {
        plan.backupRange = record->cardRange;
        plan.rangeRecorded = record->cardRangeRecorded;
    }
    switch (task.action) {
    case FleetTask::Action::Backup:
        backup(comm, controller, task, folder, record ? record->serialNumber : QString(), result);
        break;
    case FleetTask::Action::Restore:
        restore(comm, task, folder, plan, result);
        break;
    case FleetTask::Action::DryRun:
        FleetDryRun(comm, task, folder, plan, result);
        break;
    case FleetTask::Action::Records:
        FleetReadRecords(comm, task, result);
        break;
    }
    comm.CommClose();
    return result;
}
