#include "CardsVerb.h"

#include "CardFile.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "CardsVerbDiff.h"
#include "CardsVerbSync.h"
#include "CliContext.h"
#include "CliJson.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Language.h"
#include "LinkOptions.h"
#include "NumberOption.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "ReplyTally.h"
#include "SharedFlag.h"
#include "TableJson.h"
#include "TableStore.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray texts(const QStringList &list)
{
    return QJsonArray::fromStringList(list);
}

int readCards(CliContext &context, CardTransfer &transfer, TableStore &table)
{
    const CardTransfer::ReadOutcome outcome =
        transfer.readRange(table, CardRangeOption(context.parser));
    const QString out = context.parser.value(QStringLiteral("out"));
    QString saveError;
    bool saved = false;
    // Also a range without cards is saved, so the file never holds an earlier list; a link
    // that never opened leaves the file alone. An incomplete list never replaces an earlier
    // file, which may be the only complete copy of the controller's cards; it is saved only
    // where there was none.
    const bool keepEarlier = !outcome.complete() && QFileInfo::exists(out);
    if (!out.isEmpty() && outcome.linkReady && !keepEarlier) {
        const TableResult result = CardFile::Save(table, out);
        saved = bool(result);
        if (!result)
            saveError = result.error();
    }
    if (context.json) {
        QJsonObject object{{QStringLiteral("complete"), outcome.complete()},
                           {QStringLiteral("cards"), outcome.cardsFound},
                           {QStringLiteral("failedNumbers"), JsonNumbers(outcome.failedNumbers)},
                           {QStringLiteral("stopped"), outcome.stopped},
                           {QStringLiteral("linkLost"), outcome.linkLost},
                           {QStringLiteral("commandUnanswered"), outcome.commandUnanswered},
                           {QStringLiteral("strayReplies"), qint64(outcome.strayReplies)}};
        if (out.isEmpty())
            object.insert(QStringLiteral("table"),
                          QJsonDocument::fromJson(TableToJson(table)).object());
        if (!out.isEmpty())
            object.insert(QStringLiteral("saved"), saved);
        if (!saveError.isEmpty())
            object.insert(QStringLiteral("saveError"), saveError);
        PrintJson(context, object);
    } else {
        if (out.isEmpty()) {
            for (int row = 0; row < table.RecordCount(); ++row) {
                const CardRecord card = CardTable::RowAt(table, row);
                context.out << card.DataNO << ' ' << card.DataID << ' ' << card.DataApp << ' '
                            << card.DataType << ' ' << card.DataPIN << ' ' << card.DataAPB << '\n';
            }
        }
        context.out << "cards found: " << outcome.cardsFound << '\n';
        if (!outcome.failedNumbers.isEmpty()) {
            QStringList list;
            for (const int n : outcome.failedNumbers)
                list << QString::number(n);
            context.out << "not read: " << list.join(QLatin1Char(',')) << '\n';
        }
        if (outcome.commandUnanswered)
            context.out << CardTransfer::UnansweredText(true) << '\n';
        if (outcome.strayReplies > 0)
            context.out << StrayRepliesText(outcome.strayReplies) << '\n';
    }
    if (!saveError.isEmpty())
        context.err << saveError << '\n';
    if (keepEarlier && outcome.linkReady)
        context.err << "the card list is not complete: the earlier file " << out
                    << " was left as it was\n";
    if (!outcome.linkReady)
        context.err << "the link cannot be opened\n";
    return outcome.complete() && saveError.isEmpty() ? ExitOk : ExitFailed;
}

int writeCards(CliContext &context, Comm &comm, CardTransfer &transfer, TableStore &table)
{
    const QString path = context.arguments[1];
    const TableResult loaded = CardFile::Load(table, path);
    if (!loaded) {
        context.err << loaded.error() << '\n';
        return ExitFailed;
    }
    // The card numbers go out in the form of the controller's version: no write to a
    // controller that does not say who it is and which version it runs.
    const std::optional<ControllerSession::Identity> identity =
        ControllerSession::identifyOrSay(context, comm);
    if (!identity)
        return ExitFailed;
    const QString version = identity->version;
    const bool clearAll = context.parser.isSet(QStringLiteral("clear-all"));
    const CardTransfer::WriteOutcome outcome = transfer.write(
        table, version, clearAll, context.parser.isSet(QStringLiteral("skip-invalid")));
    // A file without cards sends nothing: done when nothing was asked but the write, not done
    // when the controller's cards were to be deleted first (they stay).
    const bool complete = outcome.complete() || (outcome.nothingToWrite && !clearAll);
    if (context.json) {
        const QJsonObject object{
            {QStringLiteral("complete"), complete},
            {QStringLiteral("nothingToWrite"), outcome.nothingToWrite},
            {QStringLiteral("written"), outcome.written},
            {QStringLiteral("invalidRows"), texts(outcome.invalidRows)},
            {QStringLiteral("clearAllDone"), outcome.clearAllDone},
            {QStringLiteral("failedNumbers"), JsonNumbers(outcome.failedNumbers)},
            {QStringLiteral("stopped"), outcome.stopped},
            {QStringLiteral("linkLost"), outcome.linkLost},
            {QStringLiteral("commandUnanswered"), outcome.commandUnanswered},
            {QStringLiteral("strayReplies"), qint64(outcome.strayReplies)}};
        PrintJson(context, object);
    } else {
        for (const QString &problem : outcome.invalidRows)
            context.out << "invalid " << problem << '\n';
        if (outcome.heldBack)
            context.out
                << (context.parser.isSet(QStringLiteral("skip-invalid"))
                        ? "nothing was sent: no row can be written\n"
                        : "nothing was sent (use --skip-invalid to write the valid rows)\n");
        if (outcome.nothingToWrite)
            context.out << (clearAll ? "the file holds no cards: nothing was deleted or sent "
                                       "(cards clear-all deletes every card)\n"
                                     : "the file holds no cards: nothing was sent\n");
        if (outcome.clearAllRequested && !outcome.clearAllDone)
            context.out << CardTransfer::UndoneDeleteText(outcome.clearAllRefused) << '\n';
        if (outcome.commandUnanswered)
            context.out << CardTransfer::UnansweredText(false) << '\n';
        if (const QString note = outcome.deletedFirstNote(); !note.isEmpty())
            context.out << note << '\n';
        context.out << "cards written: " << outcome.written << '\n';
        if (!outcome.failedNumbers.isEmpty()) {
            QStringList list;
            for (const int n : outcome.failedNumbers)
                list << QString::number(n);
            context.out << "not accepted: " << list.join(QLatin1Char(',')) << '\n';
        }
        if (outcome.strayReplies > 0)
            context.out << StrayRepliesText(outcome.strayReplies) << '\n';
    }
    return complete ? ExitOk : ExitFailed;
}

} // namespace

int runCardsVerb(CliContext &context)
{
    const QString action = context.arguments.value(0);
    if (action == QLatin1String("diff"))
        return runCardsDiff(context);
    if (action == QLatin1String("sync"))
        return runCardsSync(context);
    Comm comm;
    if (!ControllerSession::open(context, comm))
        return ExitFailed;
    ProgressState progress;
    SharedFlag clockReadPaused;
    const Language language;
    CardTransfer transfer(comm, progress, clockReadPaused, language);
    const ProgressLine progressLine(context, progress);
    TableStore table;
    if (action == QLatin1String("read"))
        return readCards(context, transfer, table);
    if (action == QLatin1String("write"))
        return writeCards(context, comm, transfer, table);
    const CardTransfer::ClearOutcome outcome = transfer.clearAll();
    if (context.json)
        PrintJson(context, {{QStringLiteral("complete"), outcome.done}});
    else
        context.out << (outcome.done ? QStringLiteral("all cards deleted") : outcome.problem())
                    << '\n';
    return outcome.done ? ExitOk : ExitFailed;
}
