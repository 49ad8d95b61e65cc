// The event journal across a program that ends at a bad moment: between saving the events
// and clearing the journal (the events are found in the saved files and not offered a second
// time; a save that did not complete leaves them offered), or while creating its lock file.
#include "RecordFile.h"
#include "RecordJournal.h"
#include "RecordTable.h"
#include "TableCsv.h"
#include "TableStore.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include <sys/file.h>

namespace {

JournalEntry Entry(int n)
{
    EventRecord r;
    r.CardNO = QString::number(1000 + n);
    r.DataTime = QStringLiteral("2024/01/01 00:00:%1").arg(n, 2, 10, QLatin1Char('0'));
    r.iStatus = QStringLiteral("11");
    r.SStatus = QStringLiteral("In check OK");
    r.iChannel = QStringLiteral("1");
    r.APB = QStringLiteral("0");
    return {QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0')), QStringLiteral("raw"), r};
}

} // namespace

class TestJournalSaving : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir_.emplace();
        QVERIFY(dir_->isValid());
        path_ = RecordJournal::PathFor(dir_->path(), QStringLiteral("12345678"));
    }

    // Three events read into a table that already held one row, saved as a record file and
    // as CSV; the program ends before the journal is cleared.
    void eventsFoundInTheSavedFilesAreNotOfferedAgain()
    {
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        const QString csv = dir_->filePath(QStringLiteral("events.csv"));
        {
            RecordJournal journal(path_);
            QVERIFY(journal.open());
            TableStore table;
            RecordTable::Recreate(table);
            RecordTable::Append(table, Entry(0).record);
            for (int n = 1; n <= 3; ++n) {
                QVERIFY(journal.append(Entry(n)));
                RecordTable::Append(table, Entry(n).record);
            }
            QVERIFY(journal.noteSaving({xml, csv}));
            QVERIFY(RecordFile::Save(table, xml));
            QVERIFY(WriteCsvFile(table, csv));
        }
        RecordJournal reopened(path_);
        QVERIFY(reopened.open());
        QCOMPARE(reopened.pendingCount(), 0);
        QVERIFY(reopened.pending().isEmpty());
        QCOMPARE(reopened.lastPointer(), Entry(3).pointer);
    }

    void aSaveThatDidNotCompleteLeavesTheEventsOffered()
    {
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        const QString csv = dir_->filePath(QStringLiteral("events.csv"));
        // An older file of the same name, without the new events.
        TableStore older;
        RecordTable::Recreate(older);
        RecordTable::Append(older, Entry(0).record);
        QVERIFY(RecordFile::Save(older, xml));
        {
            RecordJournal journal(path_);
            QVERIFY(journal.open());
            QVERIFY(journal.append(Entry(1)));
            QVERIFY(journal.append(Entry(2)));
            QVERIFY(journal.noteSaving({xml}));
        }
        {
            RecordJournal reopened(path_);
            QVERIFY(reopened.open());
            QCOMPARE(reopened.pendingCount(), 2);
            // The record file was written, the CSV file not.
            TableStore table;
            RecordTable::Recreate(table);
            RecordTable::Append(table, Entry(1).record);
            RecordTable::Append(table, Entry(2).record);
            QVERIFY(reopened.noteSaving({xml, csv}));
            QVERIFY(RecordFile::Save(table, xml));
        }
        {
            RecordJournal reopened(path_);
            QVERIFY(reopened.open());
            QCOMPARE(reopened.pendingCount(), 2);
            // An event read after a failed save: the note no longer covers what is pending.
            QVERIFY(reopened.noteSaving({xml}));
            QVERIFY(reopened.append(Entry(3)));
        }
        RecordJournal last(path_);
        QVERIFY(last.open());
        QCOMPARE(last.pendingCount(), 3);
    }

    // A program killed between creating its lock file and writing its details into it leaves
    // an empty file that nobody holds: it must not keep every later read out.
    void emptyLockLeftByAProgramThatEndedIsTakenOver()
    {
        QFile lock(path_ + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.close();
        RecordJournal journal(path_);
        QVERIFY2(journal.open(), qPrintable(journal.error()));
        QVERIFY(journal.append(Entry(1)));
    }

    // Killed while it removed the stale lock of a program killed before: the lock of the dead
    // program is stale by its details, but the empty lock under which it is removed is not.
    void emptyRemovalLockLeftByAProgramThatEndedIsTakenOver()
    {
        QFile lock(path_ + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        // The details of a program of this machine that no longer runs.
        QVERIFY(lock.write("999999999\nkt480ctl\n" + QSysInfo::machineHostName().toUtf8() + '\n') >
                0);
        lock.close();
        QFile removal(lock.fileName() + QStringLiteral(".rmlock"));
        QVERIFY(removal.open(QIODevice::WriteOnly));
        removal.close();
        RecordJournal journal(path_);
        QVERIFY2(journal.open(), qPrintable(journal.error()));
    }

    void lockOfARunningProgramIsRespected()
    {
        RecordJournal first(path_);
        QVERIFY(first.open());
        RecordJournal second(path_);
        QVERIFY(!second.open());
        QVERIFY(second.error().contains(QStringLiteral("another program is reading")));
    }

    // A program that has just created its lock file and holds it, but has not written its
    // details yet.
    void emptyLockThatIsHeldIsRespected()
    {
        QFile lock(path_ + QStringLiteral(".lock"));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
        RecordJournal journal(path_);
        QVERIFY(!journal.open());
        QVERIFY(QFile::exists(lock.fileName()));
    }

private:
    std::optional<QTemporaryDir> dir_;
    QString path_;
};

QTEST_GUILESS_MAIN(TestJournalSaving)
#include "test_journal_saving.moc"
