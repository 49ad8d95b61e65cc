#include "FleetRecords.h"

#include "ArchiveBatch.h"
#include "EventArchive.h"
#include "FleetJob.h"
#include "Language.h"
#include "ProgressState.h"
#include "RecordJournal.h"
#include "RecordReader.h"
#include "RecordTable.h"
#include "TableStore.h"

QString PrepareFleetArchive(const ArchiveAddress &address)
{
    EventArchive archive(address);
    return archive.open(EventArchive::Use::Write) ? QString() : archive.error();
}

void FleetReadRecords(Comm &comm, const FleetTask &task, FleetResult &result)
{
    EventArchive archive(task.archive);
    if (!archive.open(EventArchive::Use::Write)) {
        result.failures << archive.error() + QStringLiteral("; nothing was read");
        return;
    }
    RecordJournal journal(RecordJournal::PathFor(task.journalFolder, result.serialNumber));
    if (!journal.open()) {
        result.failures << journal.error() + QStringLiteral("; nothing was read");
        return;
    }
    // Such a line may be the only trace of an event the controller has forgotten: the
    // controller is not done until someone has looked at it.
    result.unreadableJournalLines = journal.unreadableLines();
    result.unreadableJournalNote = journal.unreadableNote();
    if (!result.unreadableJournalLines.isEmpty()) {
        QStringList numbers;
        for (const int line : std::as_const(result.unreadableJournalLines))
            numbers << QString::number(line);
        result.failures << QStringLiteral("journal line(s) that cannot be read as events, kept "
                                          "in the journal: %1")
                               .arg(numbers.join(QStringLiteral(", ")));
    }
    const int recovered = journal.pendingCount();
    if (recovered > 0)
        result.notes
            << QStringLiteral("%1 events of an earlier read taken from the journal").arg(recovered);

    TableStore table;
    RecordTable::Recreate(table);
    ProgressState progress;
    const Language language;
    RecordReader reader(comm, progress, language);
    const ReadOutcome outcome = reader.read(table, journal, RecordReader::NoLimit);
    result.events = recovered + outcome.read;
    result.failures << outcome.problems;
    if (!outcome.complete() && outcome.problems.isEmpty())
        result.failures << outcome.summary();

    const std::optional<EventArchive::Stored> stored = archive.store(
        ArchiveBatch::FromJournal(result.serialNumber, result.name, journal.pending()));
    if (!stored) {
        result.failures << archive.error() +
                               QStringLiteral("; the events are kept in %1 for the next read")
                                   .arg(journal.path());
        return;
    }
    result.eventsAdded = stored->added;
    // Only now: a run that ends before this stores the same entries again next time.
    if (!journal.clearPending())
        result.failures << journal.error();
}
