#include "CardTransfer.h"

#include "CardCodec.h"
#include "CardTable.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "ReplyTally.h"
#include "ResponsivePause.h"
#include "SharedFlag.h"
#include "TableStore.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QScopeGuard>
#include <algorithm>

namespace {

constexpr int Attempts = 5;
// After this many card numbers in a row without any reply, the link is checked with a
// serial-number read; an unanswered check ends the run instead of hours of time-outs.
constexpr int SilentNumbersBeforeCheck = 3;
// "HK" is tried five times without a pause and is never checked for silence; a late reply to
// it is waited for like a card's, so that it does not reach the writes that follow.
const ExchangePolicy::Rule DeleteAllRule{.attempts = Attempts,
                                         .lateReplyWindow = ExchangePolicy::LateReplyWindow,
                                         .confirmPossibleCopies = true};

QString seven(qint64 value)
{
    return QStringLiteral("%1").arg(value, 7, 10, QLatin1Char('0'));
}

QString eight(qint64 value)
{
    return QStringLiteral("%1").arg(value, 8, 10, QLatin1Char('0'));
}

// Cards read again after a first pass belong among the others, in number order.
void sortByCardNumber(TableStore &table)
{
    TableContent content = table.Content();
    const int field = content.FieldIndex(u"DataNO");
    if (field < 0)
        return;
    std::stable_sort(content.rows.begin(), content.rows.end(),
                     [field](const QStringList &a, const QStringList &b) {
                         return a[field].toInt() < b[field].toInt();
                     });
    table.SetContent(std::move(content));
}

} // namespace

CardTransfer::CardTransfer(Comm &comm, ProgressState &progress, SharedFlag &clockReadPaused,
                           const Language &language, QObject *parent)
    : QObject(parent), comm_(comm), progress_(progress), clockReadPaused_(clockReadPaused),
      language_(language)
{
}

void CardTransfer::setSettleWait(int passes, int passMs)
{
    settlePasses_ = passes;
    settlePassMs_ = passMs;
}

bool CardTransfer::linkReady()
{
    // Nothing held, or a connection not made again yet: no command could get through.
    return comm_.CommResume() && comm_.TransportOpen();
}

ExchangePolicy::Rule CardTransfer::cardRule() const
{
    return {.attempts = Attempts,
            .pauseAfterLoss = std::chrono::milliseconds(retryPauseMs_),
            // A late reply is dropped, never taken for the reply to the next card.
            .lateReplyWindow = ExchangePolicy::LateReplyWindow,
            .silentCommandsBeforeCheck = SilentNumbersBeforeCheck,
            .silentCommandEndsRun = true,
            // Nor is a copy of the last card's reply taken for this one's.
            .confirmPossibleCopies = true};
}

ExchangePolicy::Rule CardTransfer::readRule() const
{
    ExchangePolicy::Rule rule = cardRule();
    // A controller holds an empty slot as 24 zeros: any other length is a damaged reply.
    rule.payloadLengths = {CardCodec::HbReplyLength};
    return rule;
}

QString CardTransfer::stepText(const QString &action, int number, qint64 elapsedMs)
{
    return action + QLatin1Char(' ') + seven(number) + QStringLiteral(" / ") + eight(elapsedMs);
}

CardTransfer::CardRead CardTransfer::readCard(ExchangePolicy &policy, int number)
{
    CardRead read;
    const ExchangeReply reply =
        policy.send(QStringLiteral("HB") + CardCodec::ReadCardNumber(number));
    if (!reply.accepted())
        return read;
    read.accepted = true;
    read.fullLength = reply.payload.size() == CardCodec::HbReplyLength;
    read.card =
        CardCodec::DecodeReadReply(number, reply.payload, static_cast<int>(reply.payload.size()));
    return read;
}

bool CardTransfer::writeCard(ExchangePolicy &policy, int number, const CardRecord &card,
                             const QString &versionText)
{
    return policy
        .send(QStringLiteral("HA") + CardCodec::WriteCardNumber(number, versionText) +
              CardCodec::EncodeWriteData(card))
        .accepted();
}

void CardTransfer::readOne(ExchangePolicy &policy, TableStore &table, int number, int position,
                           ReadOutcome &outcome, qint64 elapsedMs)
{
    progress_.setPosition(position);
    const QString text = stepText(language_.TableText(TextRow::Reading), number, elapsedMs);
    progress_.setText(text);
    emit status(text);
    const CardRead read = readCard(policy, number);
    if (!read.accepted) {
        outcome.failedNumbers << number;
        return;
    }
    if (read.card) {
        CardTable::Append(table, *read.card);
        ++outcome.cardsFound;
    }
}

void CardTransfer::readEach(TableStore &table, const ReadWalk &walk, ReadOutcome &outcome)
{
    const FlagScope paused(clockReadPaused_);
    ExchangePolicy policy(comm_, readRule());
    const ReplyTally before = comm_.replyTally();
    const auto countStrays =
        qScopeGuard([&] { outcome.strayReplies += comm_.replyTally().straysSince(before); });
    QElapsedTimer clock;
    clock.start();
    auto notRead = [&](qsizetype from) {
        for (qsizetype i = from; i < walk.count; ++i)
            outcome.failedNumbers << walk.numberAt(i);
    };
    // A number counts as done once it was handled, so that the last one fills the count.
    progress_.setSteps(0, walk.count);
    for (qsizetype i = 0; i < walk.count; ++i) {
        if (progress_.stopRequested()) {
            outcome.stopped = true;
            if (walk.unreadOnStop)
                notRead(i);
            break;
        }
        outcome.lastNumberTried = walk.numberAt(i);
        readOne(policy, table, walk.numberAt(i), walk.positionAt(i), outcome, clock.elapsed());
        progress_.setSteps(i + 1, walk.count);
        if (policy.linkLost() || policy.commandUnanswered()) {
            outcome.linkLost = policy.linkLost();
            outcome.commandUnanswered = policy.commandUnanswered();
            notRead(i + 1);
            break;
        }
    }
}

CardTransfer::ReadOutcome CardTransfer::readRange(TableStore &table, const CardRange &range)
{
    ReadOutcome outcome;
    // Checked before the table is touched: a read that cannot start keeps what the user has.
    if (!linkReady())
        return outcome;
    outcome.linkReady = true;
    CardTable::Recreate(table);
    progress_.begin(language_.TableText(TextRow::CardDataHint),
                    language_.TableText(TextRow::Reading), range.last() + 5, true);
    const int first = range.first();
    const auto number = [first](qsizetype i) { return first + static_cast<int>(i); };
    readEach(table, {range.count(), number, number, false}, outcome);
    progress_.end();
    return outcome;
}

CardTransfer::ReadOutcome CardTransfer::readNumbers(TableStore &table, const QList<int> &numbers)
{
    ReadOutcome outcome;
    if (!linkReady()) {
        outcome.failedNumbers = numbers;
        return outcome;
    }
    outcome.linkReady = true;
    if (!table.Active() || !CardTable::HasCardFields(table))
        CardTable::Recreate(table);
    progress_.begin(language_.TableText(TextRow::CardDataHint),
                    language_.TableText(TextRow::Reading), int(numbers.size()) + 5, true);
    readEach(table,
             {numbers.size(), [&numbers](qsizetype i) { return numbers[i]; },
              [](qsizetype i) { return static_cast<int>(i) + 1; }, true},
             outcome);
    progress_.end();
    sortByCardNumber(table);
    return outcome;
}

QStringList CardTransfer::ReadOutcome::problems() const
{
    QStringList lines;
    if (!linkReady)
        lines << CardTransfer::tr("the link could not be opened");
    if (stopped)
        lines << CardTransfer::tr("the read was cancelled");
    if (linkLost)
        lines << CardTransfer::tr("the controller stopped answering");
    if (commandUnanswered)
        lines << CardTransfer::UnansweredText(true);
    if (!failedNumbers.isEmpty())
        lines << CardTransfer::tr("%n card number(s) could not be read: %1", nullptr,
                                  int(failedNumbers.size()))
                     .arg(numberList(failedNumbers));
    if (strayReplies > 0)
        lines << StrayRepliesText(strayReplies);
    return lines;
}

QStringList CardTransfer::WriteOutcome::problems() const
{
    QStringList lines;
    if (!linkReady && !heldBack)
        lines << CardTransfer::tr("the link could not be opened");
    if (!invalidRows.isEmpty())
        lines << CardTransfer::tr("%n row(s) were not written because they are not valid", nullptr,
                                  int(invalidRows.size()));
    if (clearAllRequested && !clearAllDone)
        lines << CardTransfer::UndoneDeleteText(clearAllRefused);
    if (const QString note = deletedFirstNote(); !note.isEmpty())
        lines << note;
    if (stopped)
        lines << CardTransfer::tr("cancelled before every card was written");
    if (linkLost)
        lines << CardTransfer::tr("the controller stopped answering");
    if (commandUnanswered)
        lines << CardTransfer::UnansweredText(false);
    if (!failedNumbers.isEmpty())
        lines << CardTransfer::tr("%n card(s) were not accepted: %1", nullptr,
                                  int(failedNumbers.size()))
                     .arg(numberList(failedNumbers));
    if (strayReplies > 0)
        lines << StrayRepliesText(strayReplies);
    return lines;
}

QString CardTransfer::UndoneDeleteText(bool refused)
{
    return refused ? tr("deleting all cards was refused; the earlier cards are still in the "
                        "controller")
                   : tr("deleting all cards got no usable reply; whether the earlier cards were "
                        "deleted is not known");
}

QString CardTransfer::UnansweredText(bool reading)
{
    return reading ? tr("the controller answers, but not the card reads; the read stopped")
                   : tr("the controller answers, but not the card writes; the write stopped");
}

QString CardTransfer::ClearOutcome::problem() const
{
    return done || !linkReady ? QString() : UndoneDeleteText(refused);
}

QString CardTransfer::WriteOutcome::deletedFirstNote() const
{
    // Unsaid, a cancelled or broken-off restore reads as if the earlier cards were still there.
    if (!clearAllDone || !(stopped || linkLost || !failedNumbers.isEmpty()))
        return {};
    return CardTransfer::tr("every card in the controller was deleted first; it now holds only "
                            "the %n card(s) written since",
                            nullptr, written);
}

QString CardTransfer::numberList(const QList<int> &numbers)
{
    constexpr int Shown = 30;
    QStringList list;
    for (int i = 0; i < numbers.size() && i < Shown; ++i)
        list << QString::number(numbers[i]);
    if (numbers.size() > Shown)
        list << tr("… (%1 more)").arg(numbers.size() - Shown);
    return list.join(QStringLiteral(", "));
}

QMap<int, QString> CardTransfer::rowProblems(const TableStore &table)
{
    QMap<int, QString> problems;
    // The row that first holds each card number and what it would send there.
    QHash<int, QPair<int, QString>> firstOf;
    for (int row = 0; row < table.RecordCount(); ++row) {
        const CardRecord card = CardTable::RowAt(table, row);
        const QString problem = CardCodec::RowProblem(card);
        if (!problem.isEmpty()) {
            problems.insert(row, problem);
            continue;
        }
        // The controller keeps one card per number: a later row with another card would
        // overwrite the earlier one. The same card twice is harmless.
        const int number = *CardCodec::CardNumberOf(card);
        const QString data = CardCodec::EncodeWriteData(card);
        const auto first = firstOf.constFind(number);
        if (first == firstOf.constEnd())
            firstOf.insert(number, {row, data});
        else if (first->second != data)
            problems.insert(row, tr("card number %1 is also in row %2 with another card; the "
                                    "controller keeps one card per number")
                                     .arg(card.DataNO.trimmed())
                                     .arg(first->first + 1));
    }
    return problems;
}

QStringList CardTransfer::invalidRows(const TableStore &table)
{
    return rowTexts(rowProblems(table));
}

QStringList CardTransfer::rowTexts(const QMap<int, QString> &rowProblems)
{
    QStringList problems;
    for (auto it = rowProblems.cbegin(); it != rowProblems.cend(); ++it)
        problems << tr("row %1: %2").arg(it.key() + 1).arg(it.value());
    return problems;
}

ExchangeReply CardTransfer::deleteAllCards()
{
    const ExchangeReply reply = ExchangePolicy(comm_, DeleteAllRule).send(QStringLiteral("HK"));
    if (!reply.accepted())
        return reply;
    // The controller needs time to clear its card memory before it takes new cards.
    const QString deleting = language_.TableText(TextRow::DeletingAllCards);
    for (int pass = 0; pass < settlePasses_ && !progress_.stopRequested(); ++pass) {
        progress_.advance();
        const QString text = deleting + QLatin1Char(' ') + seven(progress_.position());
        progress_.setText(text);
        emit status(text);
        PauseResponsively(std::chrono::milliseconds(settlePassMs_));
    }
    return reply;
}

CardTransfer::WriteOutcome CardTransfer::write(const TableStore &table, const QString &versionText,
                                               bool clearAll, bool skipInvalid)
{
    WriteOutcome outcome;
    if (table.IsEmpty()) {
        outcome.nothingToWrite = true;
        return outcome;
    }
    const QMap<int, QString> skipped = rowProblems(table);
    outcome.invalidRows = rowTexts(skipped);
    // Nothing at all is sent, the delete included, unless some rows are to be written: a
    // table of invalid rows only must not empty the controller.
    if (!outcome.invalidRows.isEmpty() && (!skipInvalid || skipped.size() == table.RecordCount())) {
        outcome.heldBack = true;
        return outcome;
    }
    if (!linkReady())
        return outcome;
    outcome.linkReady = true;
    const FlagScope paused(clockReadPaused_);
    const QString title = language_.TableText(TextRow::CardDataHint);

    if (clearAll) {
        outcome.clearAllRequested = true;
        progress_.begin(title, language_.TableText(TextRow::DeletingAllCards), 1005, true);
        emit status(language_.TableText(TextRow::DeletingAllCards));
        const ExchangeReply deleted = deleteAllCards();
        outcome.clearAllDone = deleted.accepted();
        // A refusal counts only when no attempt may have deleted the cards unseen.
        outcome.clearAllRefused = !deleted.accepted() && deleted.refused && !deleted.unclear;
        const bool stopped = progress_.stopRequested();
        progress_.end();
        if (stopped) {
            outcome.stopped = true;
            return outcome;
        }
    }

    progress_.begin(title, language_.TableText(TextRow::Writing), table.RecordCount() + 5, true);
    ExchangePolicy policy(comm_, cardRule());
    const ReplyTally before = comm_.replyTally();
    QElapsedTimer clock;
    clock.start();
    progress_.setSteps(0, table.RecordCount());
    for (int row = 0; row < table.RecordCount(); ++row) {
        if (progress_.stopRequested()) {
            outcome.stopped = true;
            break;
        }
        if (skipped.contains(row))
            continue;
        const CardRecord card = CardTable::RowAt(table, row);
        const auto number = CardCodec::CardNumberOf(card);
        progress_.advance();
        const QString text =
            stepText(language_.TableText(TextRow::Writing), *number, clock.elapsed());
        progress_.setText(text);
        emit status(text);
        const bool written = writeCard(policy, *number, card, versionText);
        progress_.setSteps(row + 1, table.RecordCount());
        if (written) {
            ++outcome.written;
            continue;
        }
        outcome.failedNumbers << *number;
        if (policy.linkLost() || policy.commandUnanswered()) {
            outcome.linkLost = policy.linkLost();
            outcome.commandUnanswered = policy.commandUnanswered();
            for (int rest = row + 1; rest < table.RecordCount(); ++rest) {
                if (skipped.contains(rest))
                    continue;
                if (const auto n = CardCodec::CardNumberOf(CardTable::RowAt(table, rest)))
                    outcome.failedNumbers << *n;
            }
            break;
        }
    }
    outcome.strayReplies = comm_.replyTally().straysSince(before);
    progress_.end();
    return outcome;
}

CardTransfer::ClearOutcome CardTransfer::clearAll()
{
    ClearOutcome outcome;
    if (!linkReady())
        return outcome;
    outcome.linkReady = true;
    // The automatic clock read must stay out of the long "HK" wait, as with the other transfers.
    const FlagScope paused(clockReadPaused_);
    progress_.begin(language_.TableText(TextRow::CardDataHint),
                    language_.TableText(TextRow::DeletingAllCards), 1005, true);
    emit status(language_.TableText(TextRow::DeletingAllCards));
    const ExchangeReply deleted = deleteAllCards();
    outcome.done = deleted.accepted();
    outcome.refused = !deleted.accepted() && deleted.refused && !deleted.unclear;
    outcome.stopped = progress_.stopRequested();
    progress_.end();
    return outcome;
}
