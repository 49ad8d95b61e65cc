#include "CardTransfer.h"

#include "CardCodec.h"
#include "CardTable.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "ResponsivePause.h"
#include "SharedFlag.h"
#include "TableStore.h"

#include <QElapsedTimer>
#include <algorithm>

namespace {

constexpr int Attempts = 5;
// After this many card numbers in a row without any reply, the link is checked with a
// serial-number read; an unanswered check ends the run instead of hours of time-outs.
constexpr int SilentNumbersBeforeCheck = 3;

constexpr int RowReading = 111;
constexpr int RowWriting = 112;
constexpr int RowDeletingAll = 113;
constexpr int RowCardData = 20;

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

int CardTransfer::exchangeWithRetries(const QString &command)
{
    int result = Comm::NotSent;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        result = comm_.CommExchange(comm_.DeviceIDText() + command, 6);
        if (result == Comm::Accepted)
            break;
        PauseResponsively(std::chrono::milliseconds(retryPauseMs_));
    }
    return result;
}

bool CardTransfer::controllerAnswers()
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (comm_.CommExchange(comm_.DeviceIDText() + QStringLiteral("AS"), 6) == Comm::Accepted &&
            comm_.ReplyLength() > 7)
            return true;
        PauseResponsively(std::chrono::milliseconds(retryPauseMs_));
    }
    return false;
}

bool CardTransfer::readOne(TableStore &table, int number, ReadOutcome &outcome, qint64 elapsedMs)
{
    progress_.setPosition(number);
    const QString text = language_.TableText(RowReading) + QLatin1Char(' ') + seven(number) +
                         QStringLiteral(" / ") + eight(elapsedMs);
    progress_.setText(text);
    emit status(text);
    if (exchangeWithRetries(QStringLiteral("HB") + CardCodec::ReadCardNumber(number)) !=
        Comm::Accepted) {
        outcome.failedNumbers << number;
        return false;
    }
    if (const auto card =
            CardCodec::DecodeReadReply(number, comm_.ReplyText(), comm_.ReplyLength())) {
        CardTable::Append(table, *card);
        ++outcome.cardsFound;
    }
    return true;
}

CardTransfer::ReadOutcome CardTransfer::readRange(TableStore &table, int start, int end)
{
    CardTable::Recreate(table);
    QList<int> numbers;
    for (int n = start; n <= end; ++n)
        numbers << n;
    ReadOutcome outcome;
    if (!comm_.CommResume())
        return outcome;
    outcome.linkReady = true;
    progress_.begin(language_.TableText(RowCardData), language_.TableText(RowReading), end + 5,
                    true);
    const FlagScope paused(clockReadPaused_);
    QElapsedTimer clock;
    clock.start();
    int silentInARow = 0;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (progress_.stopRequested()) {
            outcome.stopped = true;
            break;
        }
        silentInARow = readOne(table, numbers[i], outcome, clock.elapsed()) ? 0 : silentInARow + 1;
        if (silentInARow >= SilentNumbersBeforeCheck) {
            if (!controllerAnswers()) {
                outcome.linkLost = true;
                outcome.failedNumbers << numbers.mid(i + 1);
                break;
            }
            silentInARow = 0;
        }
    }
    progress_.end();
    return outcome;
}

CardTransfer::ReadOutcome CardTransfer::readNumbers(TableStore &table, const QList<int> &numbers)
{
    ReadOutcome outcome;
    if (!comm_.CommResume()) {
        outcome.failedNumbers = numbers;
        return outcome;
    }
    outcome.linkReady = true;
    if (!table.Active() || !CardTable::HasCardFields(table))
        CardTable::Recreate(table);
    progress_.begin(language_.TableText(RowCardData), language_.TableText(RowReading),
                    int(numbers.size()) + 5, true);
    const FlagScope paused(clockReadPaused_);
    QElapsedTimer clock;
    clock.start();
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (progress_.stopRequested()) {
            outcome.stopped = true;
            outcome.failedNumbers << numbers.mid(i);
            break;
        }
        readOne(table, numbers[i], outcome, clock.elapsed());
    }
    progress_.end();
    sortByCardNumber(table);
    return outcome;
}

QStringList CardTransfer::ReadOutcome::problems() const
{
    QStringList lines;
    if (!linkReady)
        lines << QStringLiteral("the link could not be opened");
    if (stopped)
        lines << QStringLiteral("the read was cancelled");
    if (linkLost)
        lines << QStringLiteral("the controller stopped answering");
    if (!failedNumbers.isEmpty())
        lines << QStringLiteral("%1 card number(s) could not be read: %2")
                     .arg(failedNumbers.size())
                     .arg(numberList(failedNumbers));
    return lines;
}

QStringList CardTransfer::WriteOutcome::problems() const
{
    QStringList lines;
    if (!linkReady)
        lines << QStringLiteral("the link could not be opened");
    if (!invalidRows.isEmpty())
        lines << QStringLiteral("%1 row(s) were not written because they are not valid")
                     .arg(invalidRows.size());
    if (clearAllRequested && !clearAllDone)
        lines << QStringLiteral("deleting all cards failed; the earlier cards are still in the "
                                "controller");
    if (stopped)
        lines << QStringLiteral("cancelled before every card was written");
    if (linkLost)
        lines << QStringLiteral("the controller stopped answering");
    if (!failedNumbers.isEmpty())
        lines << QStringLiteral("%1 card(s) were not accepted: %2")
                     .arg(failedNumbers.size())
                     .arg(numberList(failedNumbers));
    return lines;
}

QString CardTransfer::numberList(const QList<int> &numbers)
{
    constexpr int Shown = 30;
    QStringList list;
    for (int i = 0; i < numbers.size() && i < Shown; ++i)
        list << QString::number(numbers[i]);
    if (numbers.size() > Shown)
        list << QStringLiteral("… (%1 more)").arg(numbers.size() - Shown);
    return list.join(QStringLiteral(", "));
}

QStringList CardTransfer::invalidRows(const TableStore &table)
{
    QStringList problems;
    for (int row = 0; row < table.RecordCount(); ++row) {
        const QString problem = CardCodec::RowProblem(CardTable::RowAt(table, row));
        if (!problem.isEmpty())
            problems << QStringLiteral("row %1: %2").arg(row + 1).arg(problem);
    }
    return problems;
}

bool CardTransfer::deleteAllCards()
{
    if (exchangeWithRetries(QStringLiteral("HK")) != Comm::Accepted)
        return false;
    // The controller needs time to clear its card memory before it takes new cards.
    const QString deleting = language_.TableText(RowDeletingAll);
    for (int pass = 0; pass < settlePasses_ && !progress_.stopRequested(); ++pass) {
        progress_.advance();
        const QString text = deleting + QLatin1Char(' ') + seven(progress_.position());
        progress_.setText(text);
        emit status(text);
        PauseResponsively(std::chrono::milliseconds(settlePassMs_));
    }
    return true;
}

CardTransfer::WriteOutcome CardTransfer::write(const TableStore &table, const QString &versionText,
                                               bool clearAll, bool skipInvalid)
{
    WriteOutcome outcome;
    if (table.IsEmpty()) {
        outcome.nothingToWrite = true;
        return outcome;
    }
    outcome.invalidRows = invalidRows(table);
    if (!outcome.invalidRows.isEmpty() && !skipInvalid)
        return outcome;
    if (!comm_.CommResume())
        return outcome;
    outcome.linkReady = true;
    const FlagScope paused(clockReadPaused_);

    if (clearAll) {
        outcome.clearAllRequested = true;
        progress_.begin(language_.TableText(RowCardData), language_.TableText(RowDeletingAll), 1005,
                        true);
        emit status(language_.TableText(RowDeletingAll));
        outcome.clearAllDone = deleteAllCards();
        const bool stopped = progress_.stopRequested();
        progress_.end();
        if (stopped) {
            outcome.stopped = true;
            return outcome;
        }
    }

    progress_.begin(language_.TableText(RowCardData), language_.TableText(RowWriting),
                    table.RecordCount() + 5, true);
    QElapsedTimer clock;
    clock.start();
    int silentInARow = 0;
    for (int row = 0; row < table.RecordCount(); ++row) {
        if (progress_.stopRequested()) {
            outcome.stopped = true;
            break;
        }
        const CardRecord card = CardTable::RowAt(table, row);
        const auto number = CardCodec::CardNumberOf(card);
        if (!number || !CardCodec::RowProblem(card).isEmpty())
            continue;
        progress_.advance();
        const QString text = language_.TableText(RowWriting) + QLatin1Char(' ') + seven(*number) +
                             QStringLiteral(" / ") + eight(clock.elapsed());
        progress_.setText(text);
        emit status(text);
        const QString command = QStringLiteral("HA") +
                                CardCodec::WriteCardNumber(*number, versionText) +
                                CardCodec::EncodeWriteData(card);
        if (exchangeWithRetries(command) == Comm::Accepted) {
            ++outcome.written;
            silentInARow = 0;
            continue;
        }
        outcome.failedNumbers << *number;
        if (++silentInARow >= SilentNumbersBeforeCheck) {
            if (!controllerAnswers()) {
                outcome.linkLost = true;
                for (int rest = row + 1; rest < table.RecordCount(); ++rest) {
                    if (const auto n = CardCodec::CardNumberOf(CardTable::RowAt(table, rest)))
                        outcome.failedNumbers << *n;
                }
                break;
            }
            silentInARow = 0;
        }
    }
    progress_.end();
    return outcome;
}

CardTransfer::ClearOutcome CardTransfer::clearAll()
{
    ClearOutcome outcome;
    if (!comm_.CommResume())
        return outcome;
    outcome.linkReady = true;
    // The automatic clock read must stay out of the long "HK" wait, as with the other transfers.
    const FlagScope paused(clockReadPaused_);
    progress_.begin(language_.TableText(RowCardData), language_.TableText(RowDeletingAll), 1005,
                    true);
    emit status(language_.TableText(RowDeletingAll));
    outcome.done = deleteAllCards();
    outcome.stopped = progress_.stopRequested();
    progress_.end();
    return outcome;
}
