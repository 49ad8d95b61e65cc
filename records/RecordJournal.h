#pragma once

#include "EventRecord.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <memory>

class QLockFile;

// An event as the journal keeps it: the row, the reply it came from and its record pointer;
// and, as pending() reads it back, what the journal gave it when it took it: an id and the
// time it was read.
struct JournalEntry
{
    QString pointer;
    QString raw;
    EventRecord record;
    // Unique for every event a journal ever took: the journal's opening (a random id) and the
    // entry's number in it. The same entry read back twice has the same id; two events alike
    // in every field have two. Empty for an entry written before entries had ids.
    QString id = {};
    QDateTime readTime = {}; // UTC; invalid when not known

    bool operator==(const JournalEntry &) const = default;
};

// A line of the journal as it stands in the file: its number and its bytes.
struct JournalLine
{
    int number = 0;
    QByteArray bytes;
};

// The events read from one controller and acknowledged, written to disk before the
// controller is told to forget them, until they are saved in a file the user chose. What a
// crash, a power cut or a window closed unsaved leaves behind is offered to the next read.
// One file per controller serial number; a lock keeps a second program from reading the
// same controller into it at the same time. The file holds one JSON object a line: the
// events, and after a save only the last record pointer (so that an event the controller
// sends again is recognised). Before the events are saved, a line names the files they go
// to: a program that ends between the save and clearPending() leaves that line behind, and
// the next open() finds the events in those files and forgets them instead of offering them
// (and saving them) a second time. Each event carries its number in the journal's opening and
// the time it was read; the first event of an opening (and the first after a clearing) also
// carries the opening's id.
class RecordJournal
{
    Q_DECLARE_TR_FUNCTIONS(RecordJournal)

public:
    // KT480_JOURNAL_DIR when set, else the folder of the settings file.
    static QString Folder(const QString &settingsFilePath);
    static QString PathFor(const QString &folder, const QString &serialNumber);
    // A journal's name, or the name of its lock or of its replacement being written.
    static bool IsJournalFileName(const QString &fileName);

    explicit RecordJournal(QString path);
    ~RecordJournal();
    RecordJournal(const RecordJournal &) = delete;
    RecordJournal &operator=(const RecordJournal &) = delete;

    // Takes the lock and reads the file; false with error() when another program holds it or
    // the file cannot be read or written.
    bool open();
    bool isOpen() const { return file_.isOpen(); }
    QString path() const { return path_; }
    QString error() const { return error_; }

    // Events acknowledged and not yet saved in a file.
    int pendingCount() const { return pendingCount_; }
    // The unsaved events an earlier read left, oldest first (read again from the file).
    QList<JournalEntry> pending() const;
    // The record pointer of the last event read, saved or not; empty before the first.
    QString lastPointer() const { return lastPointer_; }
    // The reply that event came in; empty when a journal of an earlier version did not keep it.
    QString lastRaw() const { return lastRaw_; }

    // Lines of the file that hold no readable event (damaged on the disk, or edited by hand),
    // by number. They are never taken as events and never cleared away: each may be the only
    // trace of an event the controller has forgotten.
    QList<int> unreadableLines() const;
    // Names the file and those lines; empty when there are none.
    QString unreadableNote() const;

    // Writes the entry (its id and read time given here) and waits until it is on the disk;
    // false with error() when not, and for a blank event (no date and time, or no event code).
    bool append(const JournalEntry &entry);
    // The unsaved events are about to be saved in these files (record files, or CSV files of
    // the record table); call clearPending() once they are. No files: a save failed, and
    // the events are in none.
    bool noteSaving(const QStringList &filePaths);
    // The unsaved events are in a file now, or the user gave them up: forget them.
    bool clearPending();

private:
    bool fail(const QString &message);
    bool openForAppending();

    QString path_;
    std::unique_ptr<QLockFile> lock_;
    QFile file_;
    int pendingCount_ = 0;
    QString lastPointer_;
    QString lastRaw_;
    QString error_;
    QList<JournalLine> unreadable_;
    const QString openingId_;
    bool openingWritten_ = false;
    int appended_ = 0;
};
