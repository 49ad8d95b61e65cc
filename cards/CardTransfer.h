#pragma once

#include "CardRange.h"
#include "CardRecord.h"
#include "ExchangePolicy.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class Comm;
class Language;
class ProgressState;
class SharedFlag;
class TableStore;

// Moves cards between the card table and the controller: the "HB" read walk, the "HA"
// writes (optionally after "HK" deleted every card) and "HK" alone. Every card number or
// row that fails is counted and named, so that a backup is never taken for complete when
// it is not. Reads and writes retry through the link's one policy, which also ends a run
// whose controller has gone silent.
class CardTransfer : public QObject
{
    Q_OBJECT

public:
    struct ReadOutcome
    {
        bool linkReady = false;
        bool stopped = false;
        bool linkLost = false;
        // The link answered a check, but the controller never answered the card reads.
        bool commandUnanswered = false;
        int cardsFound = 0;
        // The last number a read was sent for; 0 when none was. A read cancelled or broken
        // off covers the numbers up to this one only.
        int lastNumberTried = 0;
        QList<int> failedNumbers; // numbers whose read failed five times (or never ran)
        // Replies no command was waiting for: cards read may be another number's.
        quint64 strayReplies = 0;
        bool complete() const
        {
            return linkReady && !stopped && !linkLost && !commandUnanswered &&
                   failedNumbers.isEmpty() && strayReplies == 0;
        }
        // One line per thing that went wrong; empty when complete.
        QStringList problems() const;
    };

    struct WriteOutcome
    {
        bool linkReady = false;
        bool nothingToWrite = false;
        QStringList invalidRows; // why each row cannot be written
        // Nothing was sent because of the invalid rows: not skipped, or no other row left.
        bool heldBack = false;
        bool clearAllRequested = false;
        bool clearAllDone = false;
        // The controller refused to delete its cards: they are all still there. Otherwise an
        // undone delete got no usable reply, and whether the cards went is not known.
        bool clearAllRefused = false;
        bool stopped = false;
        bool linkLost = false;
        // The link answered a check, but the controller never answered the card writes.
        bool commandUnanswered = false;
        int written = 0;
        QList<int> failedNumbers; // rows the controller did not accept
        // Replies no command was waiting for: an answer may be another row's.
        quint64 strayReplies = 0;
        bool complete() const
        {
            return linkReady && invalidRows.isEmpty() && (!clearAllRequested || clearAllDone) &&
                   !stopped && !linkLost && !commandUnanswered && failedNumbers.isEmpty() &&
                   strayReplies == 0;
        }
        // One line per thing that went wrong, invalid rows counted; empty when complete.
        QStringList problems() const;
        // After the delete the controller holds only what was written since: the line that
        // says so when the write did not complete, else empty.
        QString deletedFirstNote() const;
    };

    struct ClearOutcome
    {
        bool linkReady = false;
        bool done = false;
        bool refused = false; // as in WriteOutcome::clearAllRefused
        bool stopped = false;
        // The line that says what an undone delete left in the controller; empty when done.
        QString problem() const;
    };

    CardTransfer(Comm &comm, ProgressState &progress, SharedFlag &clockReadPaused,
                 const Language &language, QObject *parent = nullptr);

    // Waits of the product: 1 ms between attempts, 1000 passes of 10 ms after "HK".
    void setRetryPauseMs(int ms) { retryPauseMs_ = ms; }
    void setSettleWait(int passes, int passMs);

    // Recreates the table and fills it with the cards of the range (nothing when from > to;
    // numbers above 9999999 are not card numbers). A link that cannot be made ready leaves
    // the table as it was.
    ReadOutcome readRange(TableStore &table, const CardRange &range);
    // Reads just these numbers again and adds the cards found to the table, in number order.
    ReadOutcome readNumbers(TableStore &table, const QList<int> &numbers);

    // What an undone delete of every card left in the controller: refused, or not known.
    static QString UndoneDeleteText(bool refused);
    // The controller answers the link's check but not the card reads (or writes).
    static QString UnansweredText(bool reading);

    // Card numbers for a message: the first thirty, then how many more there are.
    static QString numberList(const QList<int> &numbers);

    // Why rows of the table cannot be written; empty when all can. A row whose card number an
    // earlier row holds with another card is one of them.
    static QStringList invalidRows(const TableStore &table);
    // The same by row index (from 0), for callers that take the other rows.
    static QMap<int, QString> rowProblems(const TableStore &table);
    // Writes every row (rows listed by invalidRows are skipped only when skipInvalid is set;
    // otherwise nothing at all is sent, and nothing either when no valid row is left). With
    // clearAll the controller's cards go first.
    WriteOutcome write(const TableStore &table, const QString &versionText, bool clearAll,
                       bool skipInvalid);
    ClearOutcome clearAll();

    // One card number read with "HB" through the policy given.
    struct CardRead
    {
        bool accepted = false;          // the controller answered the read
        bool fullLength = false;        // with the 24 characters of a card number's contents
        std::optional<CardRecord> card; // the card the number holds; nothing when empty
    };
    CardRead readCard(ExchangePolicy &policy, int number);
    // One card written to its number with "HA" through the policy given; true when the
    // controller took it.
    bool writeCard(ExchangePolicy &policy, int number, const CardRecord &card,
                   const QString &versionText);
    // The retries of a card read or write.
    ExchangePolicy::Rule cardRule() const;
    // The progress text of one card number, e.g. "Writing ... 0000012 / 00000840".
    static QString stepText(const QString &action, int number, qint64 elapsedMs);

signals:
    // The status-bar text of the running step.
    void status(const QString &text);

private:
    // The numbers of one read: how many, the one at each place, the progress position there,
    // and whether numbers a Cancel left unread count as not read.
    struct ReadWalk
    {
        qsizetype count = 0;
        std::function<int(qsizetype)> numberAt;
        std::function<int(qsizetype)> positionAt;
        bool unreadOnStop = false;
    };

    // "row N: why" for each row problem, in row order.
    static QStringList rowTexts(const QMap<int, QString> &rowProblems);
    // The link made ready (reopened when it was closed) and able to carry a command.
    bool linkReady();
    ExchangePolicy::Rule readRule() const;
    void readEach(TableStore &table, const ReadWalk &walk, ReadOutcome &outcome);
    void readOne(ExchangePolicy &policy, TableStore &table, int number, int position,
                 ReadOutcome &outcome, qint64 elapsedMs);
    // "HK" and, once accepted, the wait while the controller clears its card memory.
    ExchangeReply deleteAllCards();

    Comm &comm_;
    ProgressState &progress_;
    SharedFlag &clockReadPaused_;
    const Language &language_;
    int retryPauseMs_ = 1;
    int settlePasses_ = 1000;
    int settlePassMs_ = 10;
};
