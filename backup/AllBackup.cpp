#include "AllBackup.h"

#include "CardFile.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "Language.h"
#include "ParamFileTransfer.h"
#include "ParamTransfer.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "TableStore.h"
#include "TextRow.h"
#include "UserPrompt.h"
#include "XmlPathRule.h"

#include <QDir>
#include <QFileInfo>

namespace {

void createFolderOf(const QString &path)
{
    if (!path.trimmed().isEmpty())
        QDir().mkpath(QFileInfo(path.trimmed()).absolutePath());
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
    outcome.cardProblems = read.problems();
    outcome.failedCardNumbers = read.failedNumbers;
    if (!read.linkReady)
        return outcome;

    const QString path = cardPath.trimmed();
    // A controller without cards gets an empty card file too, so that the two files always
    // describe one controller at one moment and no older card file is left beside them.
    // A partial card list must not replace a complete earlier file unnoticed.
    if (!outcome.cardsComplete && QFileInfo::exists(path) &&
        !prompt_.question(tr("The card list read from the controller is not complete.\n"
                             "Replace the existing file %1 with it?")
                              .arg(path),
                          language_.TableText(TextRow::SystemMessage))) {
        outcome.cardProblems << tr("the earlier card file %1 was kept").arg(path);
        return outcome;
    }
    const TableResult saved = CardFile::Save(table, path);
    if (!saved) {
        outcome.cardsComplete = false;
        outcome.cardProblems << saved.error();
    } else {
        settings_.SaveSetting(CardFile::SaveSetting, path);
        outcome.done << (table.IsEmpty()
                             ? tr("Cards: the controller holds no cards (numbers %1 to %2); "
                                  "an empty card file was saved to %3.")
                                   .arg(range.from())
                                   .arg(range.to())
                                   .arg(path)
                             // The range is named: cards above it are not in the file.
                             : tr("Cards: %n cards of numbers %2 to %3 saved to %1.", nullptr,
                                  table.RecordCount())
                                   .arg(path)
                                   .arg(range.from())
                                   .arg(range.to()));
    }
    return outcome;
}

AllBackup::Outcome AllBackup::restore(const QString &parameterPath, const QString &cardPath,
                                      const QString &versionText)
{
    Outcome outcome;
    const FlagScope batch(batchMode_);

    ParamTransfer paramTransfer(comm_, progress_, clockReadPaused_, retryPause_);
    ParamFileTransfer parameters(paramTransfer, settings_, prompt_, language_);
    const ParamResult params = parameters.restore(parameterPath);
    outcome.parametersComplete = params.success;
    outcome.parameterProblems = params.messages;
    outcome.failedParameterCodes = params.failedCodes;
    if (params.success)
        outcome.done << tr("Parameters: %n values written from %1.", nullptr,
                           int(params.values.size()))
                            .arg(parameterPath);

    // The controller's cards are deleted only for a card file that loads and is valid.
    TableStore table;
    const QString path = cardPath;
    const TableResult loaded = CardFile::Load(table, path);
    if (!loaded) {
        outcome.cardProblems << loaded.error() << tr("the controller's cards were not touched");
        return outcome;
    }
    settings_.SaveSetting(CardFile::ReadSetting, path);
    // An empty card file leaves the controller's cards as they are: nothing is deleted.
    if (table.IsEmpty()) {
        outcome.cardsComplete = true;
        outcome.done << tr("Cards: %1 holds no cards; the controller's cards were left as "
                           "they were.")
                            .arg(path);
        return outcome;
    }
    const QStringList invalid = CardTransfer::invalidRows(table);
    if (!invalid.isEmpty()) {
        outcome.cardProblems << tr("%n row(s) of %1 cannot be written; the controller's cards "
                                   "were not touched:",
                                   nullptr, int(invalid.size()))
                                    .arg(path)
                             << invalid.mid(0, 10);
        return outcome;
    }
    CardTransfer cards(comm_, progress_, clockReadPaused_, language_);
    cards.setSettleWait(settlePasses_, settlePassMs_);
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
