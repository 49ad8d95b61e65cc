#pragma once

#include "CardDiff.h"
#include "CardRange.h"
#include "CardTransfer.h"

#include <QList>
#include <QObject>
#include <QStringList>

class Comm;
class Language;
class ProgressState;
class SharedFlag;
class TableStore;

// Brings a controller's cards to a card list's state without deleting them all first. It
// reads what the controller holds over a range and at every number the list holds beyond
// it, then writes only the numbers that differ: cards added or changed are written, numbers
// of the range the list does not hold are emptied by writing the empty card, and each number
// written is read back. A card that both hold is never touched, so the controller admits it
// throughout; each number goes from its old state to the list's in one write, so a sync
// broken off leaves every number either as it was or as the list has it.
class CardSync : public QObject
{
    Q_OBJECT

public:
    enum class Mode
    {
        DryRun, // read and plan only: nothing is written
        Apply,
    };

    struct Outcome
    {
        Mode mode = Mode::Apply;
        // The list holds no card rows: a sync would empty the whole range, so nothing is sent.
        bool nothingToSync = false;
        // Rows of the list that cannot be written, and why; when there are any nothing is sent.
        QStringList invalidRows;
        // The read of the controller's cards.
        CardTransfer::ReadOutcome read;
        // What the sync changes: what a comparison of the controller with the list shows. Its
        // unknown numbers are the ones that could not be read, which are written all the same.
        CardDiff plan;

        int written = 0;    // cards added or changed, now as the list has them
        int cleared = 0;    // numbers emptied
        int unchanged = 0;  // numbers that already were as the list has them
        int unreadable = 0; // numbers whose old state could not be read
        // Numbers the controller took a write for yet does not hold as the list has them, or
        // did not take the write for: each holds its old state or the list's.
        QList<int> failedNumbers;
        // Numbers now as the list has them, read back after their write, in the order done.
        QList<int> doneNumbers;
        // Numbers the plan would have written that a cancel or a silent controller left as
        // they were.
        QList<int> leftNumbers;
        bool stopped = false;
        bool linkLost = false;
        // Replies no command was waiting for while writing: an answer may be another number's.
        quint64 strayReplies = 0;

        bool sent() const { return !nothingToSync && invalidRows.isEmpty(); }
        // The numbers written, cleared, unchanged, unreadable and failed, once the controller's
        // cards were read and compared (also when the write then failed or was cancelled);
        // empty before that.
        QString counts() const;
        bool complete() const;
        // One line per thing that went wrong; empty when complete.
        QStringList problems() const;
    };

    CardSync(Comm &comm, ProgressState &progress, SharedFlag &clockReadPaused,
             const Language &language, QObject *parent = nullptr);

    // The card transfer the sync reads and writes through (its retry pause can be set).
    CardTransfer &transfer() { return transfer_; }

    Outcome run(const TableStore &list, const CardRange &range, const QString &versionText,
                Mode mode);
    // What run gives for a list it sends nothing for (sent() false: no cards, or rows that
    // cannot be written), before any link is opened; otherwise an outcome with sent() true.
    static Outcome checkList(const TableStore &list, Mode mode);

signals:
    // The status-bar text of the running step.
    void status(const QString &text);

private:
    struct Step
    {
        int number = 0;
        std::optional<CardRecord> card; // nothing: the number is emptied
        bool unread = false;            // its old state could not be read
    };

    static QList<Step> steps(const TableStore &list, const CardDiff &plan);
    void write(const QList<Step> &steps, const QString &versionText, Outcome &outcome);

    Comm &comm_;
    ProgressState &progress_;
    SharedFlag &clockReadPaused_;
    const Language &language_;
    CardTransfer transfer_;
};
