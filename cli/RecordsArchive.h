#pragma once

#include "EventArchive.h"

#include <QJsonObject>
#include <memory>

class RecordFilter;
class RecordJournal;
class TableStore;
struct CliContext;

// The event archive from kt480ctl: --db for records read, records query, records import and
// records report.

// --db DB, opened (for writing: created where there is none). No archive when --db is not
// given; `exitCode` is set and a message written when it is given and cannot be used.
struct ArchiveOption
{
    std::unique_ptr<EventArchive> archive;
    int exitCode = 0;
};
ArchiveOption OpenArchiveOption(CliContext &context, EventArchive::Use use);

// What a read stored in the archive.
struct ArchiveOutcome
{
    bool given = false;
    bool committed = false;
    EventArchive::Stored stored;
    QString error;

    // Nothing stands in the way of clearing the journal.
    bool ok() const { return !given || committed; }
    QJsonObject json() const;
};
// Stores every event the journal holds (this read's and what earlier ones left), in one
// transaction. The caller clears the journal only once this has committed.
ArchiveOutcome StoreJournal(EventArchive *archive, const QString &serialNumber,
                            const QString &siteName, const RecordJournal &journal);

// records query --db DB [--controller SERIAL|NAME] [filters] [--limit N] [--json|--csv]
int runArchiveQuery(CliContext &context, const RecordFilter &filter);
// records import FILE.xml --db DB --controller SERIAL
int runArchiveImport(CliContext &context);
// records report --db DB: the events the filters take, as the record table the report prints,
// what was asked, and the controllers the events are of (for the report's heading). The exit
// code: ExitOk, or the failure's, with a message written.
int LoadArchiveReport(CliContext &context, const RecordFilter &filter, TableStore &table,
                      QString &heading, QString &controllers);
