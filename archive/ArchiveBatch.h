#pragma once

#include "ArchivedEvent.h"
#include "RecordJournal.h"

#include <QList>
#include <QString>

class TableStore;

// The events of one controller to be stored in one transaction, and their keys.
//
// What identifies one event of one controller? Not its fields: two real events can share
// card, time, code and channel within the same second. Not its record pointer either: the
// controller counts from the start again once its log is cleared. An event read from the
// controller is written to the journal before it is acknowledged, and each journal entry
// gets an id of its own there (the journal's opening and the entry's number in it). That id
// is the key: a read that ends between the archive's commit and the journal's clearing
// leaves the entries in the journal, and the next run stores them again under the same ids,
// which the archive takes as no-ops; two events alike in every field have two ids. An
// entry of a journal written before entries had ids is keyed by its record pointer and
// reply.
//
// A row of a record file (or of the record window's table) that is not a journal entry has
// no such identity: it is keyed by its fields and its place among the rows alike
// (ArchivedEvent::alikeOrdinal), which makes the same file stored twice, or a file that
// holds events already stored by a read, add nothing.
struct ArchiveBatch
{
    QString controller; // serial number
    QString siteName;   // the name a site file gives the controller; empty when none
    QList<ArchivedEvent> events;

    static ArchiveBatch FromJournal(const QString &controller, const QString &siteName,
                                    const QList<JournalEntry> &entries);
    // The table's rows; a row alike one of the journal's entries (as read into the table) is
    // stored as that entry.
    static ArchiveBatch FromTable(const QString &controller, const QString &siteName,
                                  const TableStore &table,
                                  const QList<JournalEntry> &journalled = {});

    static ArchivedEvent FromEntry(const JournalEntry &entry);
};
