#include "CardSync.h"

#include "CardCodec.h"
#include "CardDiffRead.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "ReplyTally.h"
#include "SharedFlag.h"
#include "SyncCounts.h"
#include "TableStore.h"

#include <QElapsedTimer>
#include <QSet>
#include <algorithm>

namespace {

// What a controller holds at a number without a card, and what empties one.
CardRecord emptyCard(int number)
{
    return {CardCodec::TableCardNumber(number),
            CardCodec::EmptyCardId,
            QStringLiteral("00"),
            QStringLiteral("0"),
            QStringLiteral("XXXX"),
            QStringLiteral("0")};
}

} // namespace

CardSync::CardSync(Comm &comm, ProgressState &progress, SharedFlag &clockReadPaused,
                   const Language &language, QObject *parent)
    : QObject(parent), comm_(comm), progress_(progress), clockReadPaused_(clockReadPaused),
      language_(language), transfer_(comm, progress, clockReadPaused, language)
{
    connect(&transfer_, &CardTransfer::status, this, &CardSync::status);
}

CardSync::Outcome CardSync::run(const TableStore &list, const CardRange &range,
                                const QString &versionText, Mode mode)
{
    Outcome outcome = checkList(list, mode);
    if (!outcome.sent())
        return outcome;

    TableStore controller;
    outcome.read = ReadCardsToCompare(transfer_, controller, list, range);
    outcome.stopped = outcome.read.stopped;
    outcome.linkLost = outcome.read.linkLost;
    if (!outcome.read.linkReady || outcome.stopped || outcome.linkLost)
        return outcome;
    const QList<int> unread = outcome.read.failedNumbers;
    outcome.plan = DiffCards(controller, list, QSet<int>(unread.cbegin(), unread.cend()));
    outcome.unchanged = outcome.plan.unchanged;
    outcome.unreadable = static_cast<int>(outcome.plan.unknownNumbers.size());
    if (mode == Mode::Apply)
        write(steps(list, outcome.plan), versionText, outcome);
    return outcome;
}

CardSync::Outcome CardSync::checkList(const TableStore &list, Mode mode)
{
    Outcome outcome;
    outcome.mode = mode;
    // An empty list, or one that failed to load, would empty the whole range.
    if (list.IsEmpty())
        outcome.nothingToSync = true;
    else
        outcome.invalidRows = CardTransfer::invalidRows(list);
    return outcome;
}

QList<CardSync::Step> CardSync::steps(const TableStore &list, const CardDiff &plan)
{
    const QMap<int, CardRecord> cards = CardsByNumber(list);
    QList<Step> writes;
    QList<Step> clears;
    for (const CardRecord &card : plan.added)
        writes.append({card.DataNO.toInt(), card, false});
    for (const CardChange &change : plan.changed)
        writes.append({change.number, cards.value(change.number), false});
    for (const CardRecord &card : plan.removed)
        clears.append({card.DataNO.toInt(), std::nullopt, false});
    // A number that could not be read gets the list's state all the same: its card, or empty.
    for (const int number : plan.unknownNumbers) {
        if (const auto card = cards.constFind(number); card != cards.cend())
            writes.append({number, *card, true});
        else
            clears.append({number, std::nullopt, true});
    }
    const auto byNumber = [](const Step &a, const Step &b) { return a.number < b.number; };
    std::sort(writes.begin(), writes.end(), byNumber);
    std::sort(clears.begin(), clears.end(), byNumber);
    // Cards first, empty numbers last: a card the list moves to another number is admitted
    // at its new number before its old one is emptied.
    return writes + clears;
}

void CardSync::write(const QList<Step> &steps, const QString &versionText, Outcome &outcome)
{
    if (steps.isEmpty())
        return;
    const FlagScope paused(clockReadPaused_);
    // The bar and the count both end at the last number planned: position 1 + numbers done.
    const int total = static_cast<int>(steps.size());
    progress_.begin(language_.TableText(TextRow::CardDataHint),
                    language_.TableText(TextRow::Writing), total + 1, true);
    progress_.setSteps(0, total);
    ExchangePolicy policy(comm_, transfer_.cardRule());
    const ReplyTally before = comm_.replyTally();
    QElapsedTimer clock;
    clock.start();
    const auto leaveFrom = [&](qsizetype from) {
        for (qsizetype i = from; i < steps.size(); ++i)
            outcome.leftNumbers << steps[i].number;
    };
    for (qsizetype i = 0; i < steps.size(); ++i) {
        // Only between numbers: a number written is always read back, so that its state is
        // known when the sync stops.
        if (progress_.stopRequested()) {
            outcome.stopped = true;
            leaveFrom(i);
            break;
        }
        const Step &step = steps[i];
        const QString text = CardTransfer::stepText(language_.TableText(TextRow::Writing),
                                                    step.number, clock.elapsed());
        progress_.setText(text);
        emit status(text);
        const CardRecord sent = step.card.value_or(emptyCard(step.number));
        bool done = false;
        if (transfer_.writeCard(policy, step.number, sent, versionText)) {
            const CardTransfer::CardRead back = transfer_.readCard(policy, step.number);
            done = back.fullLength && back.card == step.card;
        }
        if (done) {
            outcome.doneNumbers << step.number;
            if (!step.unread)
                ++(step.card ? outcome.written : outcome.cleared);
        } else {
            outcome.failedNumbers << step.number;
        }
        progress_.advance();
        progress_.setSteps(i + 1, total);
        if (policy.linkLost()) {
            outcome.linkLost = true;
            leaveFrom(i + 1);
            break;
        }
    }
    outcome.strayReplies = comm_.replyTally().straysSince(before);
    progress_.end();
}

bool CardSync::Outcome::complete() const
{
    if (!sent() || !read.linkReady || stopped || linkLost || read.strayReplies > 0 ||
        strayReplies > 0)
        return false;
    // A sync writes the numbers it could not read; a plan without them is not the whole plan.
    if (mode == Mode::DryRun && !read.failedNumbers.isEmpty())
        return false;
    return failedNumbers.isEmpty() && leftNumbers.isEmpty();
}

QString CardSync::Outcome::counts() const
{
    if (!sent() || !read.linkReady || read.stopped || read.linkLost)
        return {};
    return SyncCountsText(written, cleared, unchanged, unreadable,
                          static_cast<int>(failedNumbers.size()));
}

QStringList CardSync::Outcome::problems() const
{
    QStringList lines;
    if (nothingToSync)
        lines << CardSync::tr("the card list holds no cards; nothing was sent, as a sync would "
                              "empty every number of the range");
    if (!invalidRows.isEmpty())
        lines << CardSync::tr("%n row(s) of the card list cannot be written; nothing was sent",
                              nullptr, int(invalidRows.size()));
    if (!sent())
        return lines;
    if (!read.linkReady) {
        lines << CardSync::tr("the link could not be opened");
        return lines;
    }
    if (read.stopped)
        lines << CardSync::tr("the read was cancelled; nothing was written");
    else if (stopped)
        lines << CardSync::tr("the sync was cancelled");
    if (linkLost)
        lines << CardSync::tr("the controller stopped answering");
    if (mode == Mode::DryRun && !read.failedNumbers.isEmpty())
        lines << CardSync::tr("%n card number(s) could not be read: %1", nullptr,
                              int(read.failedNumbers.size()))
                     .arg(CardTransfer::numberList(read.failedNumbers));
    if (!leftNumbers.isEmpty())
        lines << CardSync::tr("%n card number(s) were left as they were: %1", nullptr,
                              int(leftNumbers.size()))
                     .arg(CardTransfer::numberList(leftNumbers));
    if (!failedNumbers.isEmpty())
        lines << CardSync::tr("%n card number(s) are not confirmed as the list has them: %1",
                              nullptr, int(failedNumbers.size()))
                     .arg(CardTransfer::numberList(failedNumbers));
    if (const quint64 strays = read.strayReplies + strayReplies; strays > 0)
        lines << StrayRepliesText(strays);
    return lines;
}
