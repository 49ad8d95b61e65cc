#include "FleetDryRun.h"

#include "CardCodec.h"
#include "CardDiff.h"
#include "CardDiffRead.h"
#include "CardFile.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "CardsOutsideRange.h"
#include "Comm.h"
#include "CommandCheck.h"
#include "FleetJob.h"
#include "Language.h"
#include "ParamFilePaths.h"
#include "ParamFileTransfer.h"
#include "ParamTransfer.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "TableStore.h"
#include "UserPrompt.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>

namespace {

// Reads without a person: nothing is asked, no file chosen, messages dropped (the outcome
// carries them).
class SilentPrompt : public UserPrompt
{
public:
    void message(const QString &, const QString &) override {}
    bool question(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }
};

void compareParameters(Comm &comm, const QString &path, FleetResult &result)
{
    TableStore file;
    if (const TableResult loaded = file.LoadFromFile(path); !loaded) {
        result.failures << QStringLiteral("parameters: ") + loaded.error();
        return;
    }
    const int codeField = file.FieldIndex(QStringLiteral("DataType"));
    const int valueField = file.FieldIndex(QStringLiteral("DataVaue"));
    if (codeField < 0 || valueField < 0) {
        result.failures << QStringLiteral("parameters: %1 is not a parameter file").arg(path);
        return;
    }

    // The controller's values, read as a backup reads them, into a file of no importance.
    QTemporaryDir scratch;
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    SilentPrompt prompt;
    const Language language;
    ParamTransfer transfer(comm, progress, clockReadPaused);
    ParamFileTransfer reader(transfer, *settings, prompt, language);
    const ParamResult read = reader.backup(scratch.filePath(ParamFilePaths::DefaultFileName));
    if (!read.success) {
        for (const QString &message : read.messages)
            result.failures << QStringLiteral("parameters: ") + message;
    }
    QHash<QString, QString> held;
    for (const ParamValue &value : read.values)
        held.insert(value.code, value.value);

    int unsendable = 0;
    for (int row = 0; row < file.RecordCount(); ++row) {
        const QString code = file.Value(row, codeField).trimmed();
        const QString value = file.Value(row, valueField).trimmed();
        if (!CommandProblem(comm.DeviceIDText(), code, value).isEmpty()) {
            ++unsendable;
            continue;
        }
        if (!held.contains(code) || held.value(code) != value)
            result.parameterChanges.append({code, held.value(code), value});
    }
    result.parameters = file.RecordCount();
    result.parametersCompared = true;
    if (unsendable > 0)
        result.notes << QStringLiteral("parameters: %1 rows of the file would not be sent "
                                       "(not a parameter code, or an unsafe value)")
                            .arg(unsendable);
}

// Reads the numbers outside the backup's range that the comparison did not read into
// `controller`; the numbers that failed join `unknown`.
void readOutside(CardTransfer &transfer, const FleetTask &task, const AllBackup::RestorePlan &plan,
                 TableStore &controller, QList<int> &unknown, FleetResult &result)
{
    QList<int> numbers;
    const CardRange compared = task.cards;
    for (const int n : CardsOutsideRange::numbers(plan.backupRange, task.checkCeiling)) {
        if (compared.count() == 0 || n < compared.first() || n > compared.last())
            numbers << n;
    }
    if (!plan.rangeRecorded)
        result.notes << QStringLiteral("cards: the backup does not say which card numbers it "
                                       "read; the numbers %1 to %2 are taken")
                            .arg(plan.backupRange.first())
                            .arg(plan.backupRange.last());
    if (numbers.isEmpty())
        return;
    const CardTransfer::ReadOutcome more = transfer.readNumbers(controller, numbers);
    for (const QString &problem : more.problems())
        result.failures << QStringLiteral("cards: outside the backup's range: ") + problem;
    unknown += more.failedNumbers;
}

// The cards the controller holds outside the backup's range, named: a restore deletes them.
void nameOutside(const TableStore &controller, const AllBackup::RestorePlan &plan,
                 FleetResult &result)
{
    const CardRange range = plan.backupRange;
    for (int row = 0; row < controller.RecordCount(); ++row) {
        const auto n = CardCodec::CardNumberOf(CardTable::RowAt(controller, row));
        if (n && (range.count() == 0 || *n < range.first() || *n > range.last()))
            result.outsideCards << *n;
    }
    std::sort(result.outsideCards.begin(), result.outsideCards.end());
    if (!result.outsideCards.isEmpty())
        result.notes << QStringLiteral("cards: ") +
                            CardsOutsideRange::foundText(result.outsideCards, range) +
                            QStringLiteral("; a restore deletes %1, and refuses unless --force")
                                .arg(result.outsideCards.size() == 1 ? QStringLiteral("it")
                                                                     : QStringLiteral("them"));
}

void compareCards(Comm &comm, const FleetTask &task, const AllBackup::RestorePlan &plan,
                  const QString &path, FleetResult &result)
{
    TableStore file;
    if (const TableResult loaded = CardFile::Load(file, path); !loaded) {
        result.failures << QStringLiteral("cards: ") + loaded.error() +
                               QStringLiteral("; a restore would leave the controller's cards "
                                              "as they are");
        return;
    }
    result.cards = file.RecordCount();
    if (file.IsEmpty()) {
        result.notes << QStringLiteral("cards: the card file holds no cards; a restore leaves "
                                       "the controller's cards as they are");
        return;
    }
    if (const QStringList invalid = CardTransfer::invalidRows(file); !invalid.isEmpty()) {
        result.failures << QStringLiteral("cards: %1 row(s) of the card file cannot be written; "
                                          "a restore would leave the controller's cards as "
                                          "they are")
                               .arg(invalid.size());
        return;
    }
    ProgressState progress;
    SharedFlag clockReadPaused;
    const Language language;
    CardTransfer transfer(comm, progress, clockReadPaused, language);
    TableStore controller;
    const CardTransfer::ReadOutcome read =
        ReadCardsToCompare(transfer, controller, file, task.cards);
    for (const QString &problem : read.problems())
        result.failures << QStringLiteral("cards: ") + problem;
    if (!read.linkReady)
        return;
    QList<int> unknown = read.failedNumbers;
    if (!read.stopped && !read.linkLost)
        readOutside(transfer, task, plan, controller, unknown, result);
    nameOutside(controller, plan, result);
    result.cardDiff = DiffCards(controller, file, QSet<int>(unknown.cbegin(), unknown.cend()));
    result.cardsCompared = true;
}

} // namespace

void FleetDryRun(Comm &comm, const FleetTask &task, const QString &folder,
                 const AllBackup::RestorePlan &plan, FleetResult &result)
{
    compareParameters(comm, QDir(folder).filePath(ParamFilePaths::DefaultFileName), result);
    compareCards(comm, task, plan, QDir(folder).filePath(CardFile::DefaultFileName), result);
}
