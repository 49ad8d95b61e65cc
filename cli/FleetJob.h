#pragma once

#include "ArchiveAddress.h"
#include "CardDiff.h"
#include "CardRange.h"
#include "CardsOutsideRange.h"

#include <QList>
#include <QString>
#include <QStringList>

class TraceSink;
struct FleetController;

// What the fleet does to each controller, and how.
struct FleetTask
{
    enum class Action
    {
        Backup,
        Restore,
        DryRun, // what a restore would change, changing nothing
        Records // every event of each controller into the archive
    };

    Action action = Action::Backup;
    QString folder;         // DIR; each controller has DIR/NAME
    ArchiveAddress archive; // records: where the events go (--db)
    QString journalFolder;  // records: where each controller's journal lives
    CardRange cards;
    // Restore into a controller whose serial number is not the backup's, or that holds cards
    // the backup never read.
    bool force = false;
    int settleMs = 10000; // the wait after deleting all cards, before writing
    bool sync = false;    // the cards by a sync: only what differs, nothing deleted first
    // The highest card number looked at outside the backup's range.
    int checkCeiling = CardsOutsideRange::DefaultCeiling;
    TraceSink *trace = nullptr;
};

// A parameter a restore would change.
struct ParamChange
{
    QString code;
    QString from; // empty when the controller did not answer the code
    QString to;
};

// What happened to one controller.
struct FleetResult
{
    QString name;
    QString where;
    QString serialNumber;
    QString version;
    int parameters = -1; // values saved, or rows of the file written; -1 when not known
    int cards = -1;
    int events = -1;      // records: events read (and taken from the journal)
    int eventsAdded = -1; // records: of those, added to the archive
    // records: lines of the controller's journal that hold no readable event (they stay in
    // it), and the text that names them; empty when there are none.
    QList<int> unreadableJournalLines;
    QString unreadableJournalNote;
    QStringList failures; // one line each; none when the controller succeeded
    QStringList notes;
    qint64 milliseconds = 0;

    // Dry run: the changes a restore would make, and whether each half was compared at all
    // (a controller that could not be reached has no changes, which is not "unchanged").
    CardDiff cardDiff;
    QList<int> outsideCards; // held outside the backup's range: a restore deletes them
    QList<ParamChange> parameterChanges;
    bool parametersCompared = false;
    bool cardsCompared = false;

    bool complete() const { return failures.isEmpty(); }
};

// One controller's whole job, on the calling thread, with a link of its own. Nothing of it is
// shared with another job but the trace sink, which takes lines from any thread.
FleetResult RunFleetJob(const FleetController &controller, const FleetTask &task);
