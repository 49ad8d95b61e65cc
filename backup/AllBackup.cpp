#include "AllBackup.h"

#include "BackupRecord.h"
#include "CardFile.h"
#include "CardSync.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "Language.h"
#include "ParamFileTransfer.h"
#include "ParamTransfer.h"
#include "ProgressState.h"
#include "ReplyTally.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "TableStore.h"
#include "TextRow.h"
#include "UserPrompt.h"
#include "XmlPathRule.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

void createFolderOf(const QString &path)
{
    if (!path.trimmed().isEmpty())
        QDir().mkpath(QFileInfo(path.trimmed()).absolutePath());
}

// The last card number a read covered: the range's end unless the read was cancelled or the
// controller stopped answering before it.
int ReadCovers(const CardTransfer::ReadOutcome &read, const CardRange &range)
{
    return read.stopped || read.linkLost ? read.lastNumberTried : range.last();
}

// What a card read left out, one line each, naming the numbers that were not read.
QStringList CardReadProblems(const CardTransfer::ReadOutcome &read, const CardRange &range)
{
    if (!read.linkReady)
        return read.problems();
    QStringList lines;
    const int last = ReadCovers(read, range);
    if (read.stopped || read.linkLost) {
        const QString where =
            last < range.first()
                ? (read.stopped ? AllBackup::tr("the read was cancelled before the first card "
                                                "number")
                                : AllBackup::tr("the controller stopped answering before the "
                                                "first card number"))
                : (read.stopped ? AllBackup::tr("the read was cancelled after card number %1")
                                : AllBackup::tr("the controller stopped answering after card "
                                                "number %1"))
                      .arg(last);
        lines << (last < range.last() ? AllBackup::tr("%1; card numbers %2 to %3 were not read")
                                            .arg(where)
                                            .arg(std::max(last + 1, range.first()))
                                            .arg(range.last())
                                      : where);
    }
    QList<int> failed;
    for (const int number : read.failedNumbers) {
        if (number <= last)
            failed << number;
    }
    if (!failed.isEmpty())
        lines << AllBackup::tr("%n card number(s) could not be read: %1", nullptr,
                               int(failed.size()))
                     .arg(CardTransfer::numberList(failed));
    if (read.strayReplies > 0)
        lines << StrayRepliesText(read.strayReplies);
    return lines;
}

QString IncompleteCardsQuestion(const QStringList &problems, int cards, int from, int to,
                                const QString &path)
{
    return AllBackup::tr("The card list read from the controller is not complete:") +
           QStringLiteral("\n- ") + problems.join(QStringLiteral("\n- ")) + QStringLiteral("\n\n") +
           AllBackup::tr("%n card(s) were found in the numbers %1 to %2.", nullptr, cards)
               .arg(from)
               .arg(to) +
           QLatin1Char(' ') +
           AllBackup::tr("A restore of the card file deletes every card in the controller and "
                         "writes back only the cards in the file.") +
           QStringLiteral("\n\n") +
           (QFileInfo::exists(path)
                ? AllBackup::tr("Replace the existing card file %1 with this incomplete list?")
                : AllBackup::tr("Save this incomplete list as the card file %1?"))
               .arg(path);
}

} // namespace

QString AllBackup::Outcome::reportText() const
{
    QString text;
    if (complete()) {
        text = QStringLiteral("OK!");
    } else {
        text = QStringLiteral("Error!");
        text += QStringLiteral("\n\n") + AllBackup::tr("Parameters: %1")
                                             .arg(parametersComplete
                                                      ? AllBackup::tr("complete")
                                                      : parameterProblems.join(QLatin1Char('\n')));
        text +=
            QStringLiteral("\n\n") + AllBackup::tr("Cards: %1")
                                         .arg(cardsComplete ? AllBackup::tr("complete")
                                                            : cardProblems.join(QLatin1Char('\n')));
    }
    if (!done.isEmpty())
        text += QStringLiteral("\n\n") + done.join(QLatin1Char('\n'));
    return text;
}

AllBackup::AllBackup(Comm &comm, Settings &settings, ProgressState &progress,
                     SharedFlag &clockReadPaused, SharedFlag &batchMode, UserPrompt &prompt,
                     const Language &language)
    : comm_(comm), settings_(settings), progress_(progress), clockReadPaused_(clockReadPaused),
      batchMode_(batchMode), prompt_(prompt), language_(language),
      retryPause_(ParamTransfer::ProductRetryPause)
{
}

void AllBackup::setSettleWait(int passes, int passMs)
{
    settlePasses_ = passes;
    settlePassMs_ = passMs;
}

AllBackup::Outcome AllBackup::backup(const QString &parameterPath, const QString &cardPath,
                                     const CardRange &range)
{
    Outcome outcome;
    progress_.clearStop();
    createFolderOf(parameterPath);
    createFolderOf(cardPath);
    const FlagScope batch(batchMode_);

    ParamTransfer paramTransfer(comm_, progress_, clockReadPaused_, retryPause_);
    ParamFileTransfer parameters(paramTransfer, settings_, prompt_, language_);
    const ParamResult params = parameters.backup(parameterPath);
    outcome.parametersComplete = params.success;
    outcome.parameterProblems = params.messages;
    outcome.failedParameterCodes = params.failedCodes;
    if (params.success)
        outcome.done << tr("Parameters: %n values saved to %1.", nullptr, int(params.values.size()))
                            .arg(WithXmlExtension(parameterPath.trimmed()));
    // Cancel stops the whole run, not only its parameter half.
    if (progress_.stopRequested()) {
        outcome.cardProblems << tr("cancelled before the cards were read; the card file was "
                                   "not written");
        return outcome;
    }

    // A range without numbers (start above end) reads nothing: that is no backup of the
    // controller's cards, so the earlier card file stays and the run is an error.
    if (range.count() == 0) {
        outcome.cardProblems << tr("the card number range %1 to %2 holds no number; no card was "
                                   "read and the card file was not written")
                                    .arg(range.from())
                                    .arg(range.to());
        return outcome;
    }
    CardTransfer cards(comm_, progress_, clockReadPaused_, language_);
    cards.setSettleWait(settlePasses_, settlePassMs_);
    TableStore table;
    const CardTransfer::ReadOutcome read = cards.readRange(table, range);
    outcome.cardsComplete = read.complete();
    outcome.cardProblems = CardReadProblems(read, range);
    outcome.failedCardNumbers = read.failedNumbers;
    if (!read.linkReady)
        return outcome;
    const int lastRead = ReadCovers(read, range);
    if (lastRead < range.first()) {
        outcome.cardProblems << tr("no card number was read; the card file was not written");
        return outcome;
    }

    const QString path = cardPath.trimmed();
    // A card file is restored as a whole: the controller's cards are deleted and only the
    // file's are written back. A list with numbers missing is saved only on a yes that was
    // told what is missing; a controller without cards gets an empty card file, so that the
    // two files always describe one controller at one moment.
    if (!outcome.cardsComplete &&
        !prompt_.question(IncompleteCardsQuestion(outcome.cardProblems, table.RecordCount(),
                                                  range.first(), lastRead, path),
                          language_.TableText(TextRow::SystemMessage))) {
        outcome.cardProblems << (QFileInfo::exists(path)
                                     ? tr("the incomplete card list was not saved; the earlier "
                                          "card file %1 was kept")
                                           .arg(path)
                                     : tr("the incomplete card list was not saved; no card file "
                                          "was written"));
        return outcome;
    }
    const TableResult saved = CardFile::Save(table, path);
    if (!saved) {
        outcome.cardsComplete = false;
        outcome.cardProblems << saved.error();
    } else {
        outcome.cardsRead = CardRange(range.first(), lastRead);
        settings_.SaveSetting(CardFile::SaveSetting, path);
        // The numbers named are the numbers read: cards beyond them are not in the file.
        if (outcome.cardsComplete && table.IsEmpty())
            outcome.done << tr("Cards: the controller holds no cards (numbers %1 to %2); "
                               "an empty card file was saved to %3.")
                                .arg(range.first())
                                .arg(lastRead)
                                .arg(path);
        else if (outcome.cardsComplete)
            outcome.done << tr("Cards: %n cards of numbers %2 to %3 saved to %1.", nullptr,
                               table.RecordCount())
                                .arg(path)
                                .arg(range.first())
                                .arg(lastRead);
        else
            outcome.done << tr("Cards: %n cards of numbers %2 to %3 saved to %1; the list is "
                               "not complete.",
                               nullptr, table.RecordCount())
                                .arg(path)
                                .arg(range.first())
                                .arg(lastRead);
    }
    return outcome;
}

AllBackup::RestorePlan AllBackup::PlanBeside(const QString &cardPath)
{
    RestorePlan plan;
    const QString folder = QFileInfo(cardPath).absolutePath();
    if (!BackupRecord::existsIn(folder))
        return plan;
    QString error;
    if (const std::optional<BackupRecord> record = BackupRecord::load(folder, error)) {
        plan.backupRange = record->cardRange;
        plan.rangeRecorded = record->cardRangeRecorded;
    }
    return plan;
}

AllBackup::Outcome AllBackup::restore(const QString &parameterPath, const QString &cardPath,
                                      const QString &versionText, const RestorePlan &plan)
{
    Outcome outcome;
    progress_.clearStop();
    const FlagScope batch(batchMode_);
    const QString untouched = tr("nothing was written to the controller");

    // The card numbers go out in the form of the controller's version: without it, none.
    if (versionText.trimmed().isEmpty()) {
        outcome.parameterProblems << tr("the controller's firmware version could not be read; "
                                        "%1")
                                         .arg(untouched);
        outcome.cardProblems << outcome.parameterProblems;
        return outcome;
    }

    // Both files are loaded and checked first: a broken card file must not leave the
    // controller with new parameters and its old cards.
    ParamTransfer paramTransfer(comm_, progress_, clockReadPaused_, retryPause_);
    ParamFileTransfer parameters(paramTransfer, settings_, prompt_, language_);
    const ParamResult paramsLoaded = parameters.load(parameterPath);
    TableStore table;
    const QString path = cardPath;
    const TableResult loaded = CardFile::Load(table, path);
    const QStringList invalid = loaded ? CardTransfer::invalidRows(table) : QStringList();
    if (!paramsLoaded.success || !loaded || !invalid.isEmpty()) {
        outcome.parameterProblems = paramsLoaded.success
                                        ? QStringList{tr("the parameters were not written, "
                                                         "because the card file cannot be "
                                                         "restored")}
                                        : paramsLoaded.messages;
        if (!loaded)
            outcome.cardProblems << loaded.error();
        else if (!invalid.isEmpty())
            outcome.cardProblems
                << tr("%n row(s) of %1 cannot be written:", nullptr, int(invalid.size())).arg(path)
                << invalid.mid(0, 10);
        else
            outcome.cardProblems << tr("the cards were not written, because the parameter file "
                                       "cannot be restored");
        outcome.parameterProblems << untouched;
        outcome.cardProblems << untouched;
        return outcome;
    }

    // The restore deletes every card: those the backup never read are found and named first.
    CardTransfer cards(comm_, progress_, clockReadPaused_, language_);
    cards.setSettleWait(settlePasses_, settlePassMs_);
    // A sync deletes nothing outside the backup's range, so it needs no look there.
    if (!table.IsEmpty() && !plan.sync) {
        if (!plan.rangeRecorded)
            outcome.done << tr("The backup does not say which card numbers it read; the "
                               "numbers %1 to %2 are taken.")
                                .arg(plan.backupRange.first())
                                .arg(plan.backupRange.last());
        TableStore outside;
        const CardsOutsideRange::Outcome found =
            CardsOutsideRange::find(cards, outside, plan.backupRange, outsideCeiling_);
        outcome.outsideCards = found.found;
        if (found.read.stopped || progress_.stopRequested()) {
            outcome.cardProblems << tr("cancelled while the cards outside the backup's range "
                                       "were read; %1")
                                        .arg(untouched);
            return outcome;
        }
        if (!found.clear()) {
            const QString text = found.text(plan.backupRange);
            if (!plan.force &&
                !prompt_.question(text + QStringLiteral("\n\n") +
                                      tr("A restore deletes every card in the controller, "
                                         "these too. Restore all the same?"),
                                  language_.TableText(TextRow::SystemMessage))) {
                outcome.parameterProblems << untouched;
                outcome.cardProblems << text << untouched;
                return outcome;
            }
            outcome.done << tr("Restored although %1").arg(text);
        }
    }

    const ParamResult params = parameters.writeLoaded(parameterPath);
    outcome.parametersComplete = params.success;
    outcome.parameterProblems = params.messages;
    outcome.failedParameterCodes = params.failedCodes;
    if (params.success)
        outcome.done << tr("Parameters: %n values written from %1.", nullptr,
                           int(params.values.size()))
                            .arg(parameterPath);
    // Cancel stops the whole run: the controller's cards are not deleted after it.
    if (progress_.stopRequested()) {
        outcome.cardProblems << tr("cancelled before the cards were written; the controller's "
                                   "cards were not touched");
        return outcome;
    }

    settings_.SaveSetting(CardFile::ReadSetting, path);
    // An empty card file leaves the controller's cards as they are: nothing is deleted.
    if (table.IsEmpty()) {
        outcome.cardsComplete = true;
        outcome.done << tr("Cards: %1 holds no cards; the cards the controller holds stay as "
                           "they were.")
                            .arg(path);
        return outcome;
    }
    if (plan.sync) {
        CardSync sync(comm_, progress_, clockReadPaused_, language_);
        const CardSync::Outcome synced =
            sync.run(table, plan.backupRange, versionText, CardSync::Mode::Apply);
        outcome.cardsComplete = synced.complete();
        outcome.cardProblems = synced.problems();
        outcome.failedCardNumbers = synced.failedNumbers;
        // The counts whatever the end: after a failure or a cancel they say what the
        // controller now holds as the list has it.
        if (const QString counts = synced.counts(); !counts.isEmpty())
            outcome.done << tr("Cards from %1 over the numbers %2 to %3; no card was deleted "
                               "first.")
                                .arg(path)
                                .arg(plan.backupRange.first())
                                .arg(plan.backupRange.last())
                         << counts;
        return outcome;
    }
    const CardTransfer::WriteOutcome written = cards.write(table, versionText, true, false);
    outcome.cardsComplete = written.complete();
    outcome.cardProblems = written.problems();
    outcome.failedCardNumbers = written.failedNumbers;
    if (written.complete())
        outcome.done << tr("Cards: all cards deleted, then %n cards written from %1.", nullptr,
                           written.written)
                            .arg(path);
    return outcome;
}
