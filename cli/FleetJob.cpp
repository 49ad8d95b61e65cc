#include "FleetJob.h"

#include "AllBackup.h"
#include "CardFile.h"
#include "Comm.h"
#include "DeviceId.h"
#include "ExchangePolicy.h"
#include "FleetDryRun.h"
#include "FleetRecord.h"
#include "FleetRecords.h"
#include "FleetSite.h"
#include "Identification.h"
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
#include <QTemporaryDir>

namespace {

constexpr int IdentityTries = 3;
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

// The controller the row names, and no other: the serial number of its own Device ID (never
// the broadcast, which another controller of the bus could answer), then its version.
bool identify(Comm &comm, FleetResult &result)
{
    const ExchangeReply serial =
        ExchangePolicy(comm, {.attempts = IdentityTries,
                              .minimumPayload = ExchangePolicy::IdentityMinimumPayload})
            .send(QStringLiteral("AS"));
    if (!serial.accepted()) {
        result.failures << QStringLiteral("no answer to the serial-number read (AS) from Device "
                                          "ID %1; nothing was done")
                               .arg(comm.DeviceIDText());
        return false;
    }
    result.serialNumber = serial.payload;
    result.version = Identifier(comm).ReadVersion();
    if (result.version.isEmpty()) {
        result.failures << QStringLiteral("no answer to the version read (DB); nothing was done");
        return false;
    }
    return true;
}

// Moves the complete backup in `staging` into `folder`. The record goes last and the earlier
// one first, so that a folder is never left with a record beside files it does not describe;
// when the move fails, the staged record goes too.
bool install(const QString &staging, const QString &folder, FleetResult &result)
{
    const QDir from(staging);
    const QDir to(folder);
    const auto fail = [&](const QString &problem) {
        result.failures << problem;
        QFile::remove(from.filePath(FleetRecord::FileName));
        return false;
    };
    const QString record = to.filePath(FleetRecord::FileName);
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("%1: cannot create the folder").arg(folder));
    if (QFile::exists(record) && !QFile::remove(record))
        return fail(QStringLiteral("%1: cannot replace the earlier backup").arg(record));
    for (const QString &name :
         {ParamFilePaths::DefaultFileName, CardFile::DefaultFileName, FleetRecord::FileName}) {
        const QString target = to.filePath(name);
        if ((QFile::exists(target) && !QFile::remove(target)) ||
            !QFile::rename(from.filePath(name), target))
            return fail(
                QStringLiteral("%1: cannot move the backup there from %2").arg(target, staging));
    }
    return true;
}

// The backup is made in a folder of its own beside the controller's and moved into place only
// when it is complete: an incomplete or broken-off backup never replaces a file of the earlier
// one and never stands beside its record.
void backup(Comm &comm, const FleetController &controller, const FleetTask &task,
            const QString &folder, FleetResult &result)
{
    QDir().mkpath(task.folder);
    QTemporaryDir staging(
        QDir(task.folder).filePath(controller.name + QStringLiteral(".incomplete-XXXXXX")));
    if (!staging.isValid()) {
        result.failures << QStringLiteral("%1: cannot create a folder there: %2")
                               .arg(task.folder, staging.errorString());
        return;
    }
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    FleetPrompt prompt(result.notes);
    const Language language;
    AllBackup all(comm, *settings, progress, clockReadPaused, batchMode, prompt, language);
    const QString parameterPath = staging.filePath(ParamFilePaths::DefaultFileName);
    const QString cardPath = staging.filePath(CardFile::DefaultFileName);
    const AllBackup::Outcome outcome = all.backup(parameterPath, cardPath, task.cards);
    addProblems(result, QStringLiteral("parameters: "), outcome.parameterProblems);
    addProblems(result, QStringLiteral("cards: "), outcome.cardProblems);
    if (!outcome.parametersComplete && outcome.parameterProblems.isEmpty())
        result.failures << QStringLiteral("parameters: not complete");
    if (!outcome.cardsComplete && outcome.cardProblems.isEmpty())
        result.failures << QStringLiteral("cards: not complete");
    result.parameters = rowsIn(parameterPath);
    result.cards = rowsIn(cardPath);
    bool moving = false;
    if (outcome.complete()) {
        // Only a complete backup says which controller the folder holds.
        const FleetRecord record{
            controller.name,     result.serialNumber,          result.version,
            comm.DeviceIDText(), QDateTime::currentDateTime(), result.parameters,
            result.cards};
        QString error;
        if (!record.save(staging.path(), error))
            result.failures << error;
        else if (install(staging.path(), folder, result))
            return;
        else
            moving = true;
    }
    if (QDir(staging.path()).isEmpty())
        return;
    // What was read is kept for a person to look at, apart from the controller's folder.
    staging.setAutoRemove(false);
    const QString kept = QDir(task.folder).filePath(QFileInfo(staging.path()).fileName());
    result.failures << (moving ? QStringLiteral("what was read is in %1").arg(kept)
                               : QStringLiteral("what was read is in %1; %2 was left as it was")
                                     .arg(kept, folder));
}

void restore(Comm &comm, const FleetTask &task, const QString &folder, FleetResult &result)
{
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    FleetPrompt prompt(result.notes);
    const Language language;
    AllBackup all(comm, *settings, progress, clockReadPaused, batchMode, prompt, language);
    all.setSettleWait(task.settleMs / SettlePassMs, SettlePassMs);
    const QString parameterPath = QDir(folder).filePath(ParamFilePaths::DefaultFileName);
    const QString cardPath = QDir(folder).filePath(CardFile::DefaultFileName);
    const AllBackup::Outcome outcome = all.restore(parameterPath, cardPath, result.version);
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
    const bool restoring =
        task.action == FleetTask::Action::Restore || task.action == FleetTask::Action::DryRun;
    const QString refused = task.action == FleetTask::Action::DryRun
                                ? QStringLiteral("; a restore would write nothing (unless --force)")
                                : QStringLiteral("; nothing was written (--force writes anyway)");
    std::optional<FleetRecord> record;
    if (restoring) {
        if (!QFileInfo(folder).isDir()) {
            result.failures << QStringLiteral("no backup folder %1; nothing was done").arg(folder);
            return result;
        }
        QString error;
        record = FleetRecord::load(folder, error);
        if (!record && !task.force) {
            result.failures << error +
                                   QStringLiteral(": the controller cannot be checked "
                                                  "against the backup") +
                                   refused;
            if (task.action == FleetTask::Action::Restore)
                return result;
        }
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

    if (record && record->serialNumber != result.serialNumber) {
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

    switch (task.action) {
    case FleetTask::Action::Backup:
        backup(comm, controller, task, folder, result);
        break;
    case FleetTask::Action::Restore:
        restore(comm, task, folder, result);
        break;
    case FleetTask::Action::DryRun:
        FleetDryRun(comm, task, folder, result);
        break;
    case FleetTask::Action::Records:
        FleetReadRecords(comm, task, result);
        break;
    }
    comm.CommClose();
    return result;
}
