// Reading the event log against the simulator over TCP and a pty: every event once, in
// order, also when replies and acknowledgements are lost; the journal on disk before every
// acknowledgement; the limit, the numbering and the user's stop.
#include "EventLogMix.h"
#include "RecordSite.h"

#include <QSet>
#include <csignal>
#include <optional>
#include <sys/resource.h>

namespace {

// An event as the reader journals it, numbered n.
EventRecord Event(int n)
{
    return {RecordTable::RowNumberText(n),
            QStringLiteral("1234"),
            QStringLiteral("2008/09/22 14:05:09"),
            QStringLiteral("11"),
            QStringLiteral("In check OK"),
            QStringLiteral("1"),
            QStringLiteral("0")};
}

} // namespace

class TestRecordReader : public QObject
{
    Q_OBJECT

private slots:
    void countAndWholeLogOnce_data() { AddVias(); }
    void countAndWholeLogOnce()
    {
        QFETCH(Via, via);
        const QList<QByteArray> events = MixedEventLog(120);
        RecordSite site(via, events);
        QCOMPARE(site.reader.countQuery(), std::optional<qint64>(120));
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::EndOfLog);
        QVERIFY(outcome.complete());
        QCOMPARE(outcome.read, 120);
        QCOMPARE(outcome.duplicates, 0);
        QCOMPARE(outcome.remaining, std::optional<qint64>(0));
        QVERIFY(site.controllerEvents().isEmpty());
        QCOMPARE(TableRows(site.table), ExpectedRows(events));
        // The unknown kinds and the doors outside 1 to 4 are rows like the others.
        int unknown = 0;
        for (const EventRecord &row : ExpectedRows(events))
            unknown += row.iStatus == QLatin1String("0") ? 1 : 0;
        QVERIFY(unknown >= 8);
        QCOMPARE(outcome.unknown, unknown);
        QCOMPARE(site.journal->pendingCount(), 120);
        QCOMPARE(site.reader.countQuery(), std::optional<qint64>(0));
        QVERIFY(outcome.summary().startsWith(QStringLiteral("OK!\n120 event(s) read.")));
        QVERIFY(outcome.summary().contains(QStringLiteral("read to its end")));
    }

    void limitAndNumbering()
    {
        const QList<QByteArray> events = MixedEventLog(20);
        RecordSite site(Via::Tcp, events);
        RecordTable::Recreate(site.table);
        for (int i = 0; i < 10; ++i)
            RecordTable::Append(site.table, ExpectedRows(events.mid(19)).first());
        const ReadOutcome outcome = site.reader.read(site.table, *site.journal, 3);
        QCOMPARE(outcome.end, ReadOutcome::End::Limit);
        QCOMPARE(outcome.read, 3);
        QCOMPARE(outcome.remaining, std::optional<qint64>(17));
        QCOMPARE(site.controllerEvents(), events.mid(3));
        QCOMPARE(site.table.RecordCount(), 13);
        QCOMPARE(TableRows(site.table).mid(10), ExpectedRows(events.first(3), 11));
        QVERIFY(outcome.summary().contains(QStringLiteral("limit of 3")));
        QVERIFY(outcome.summary().contains(QStringLiteral("17 event(s) are still")));
        // A limit of nothing reads nothing.
        QCOMPARE(site.reader.read(site.table, *site.journal, 0).read, 0);
        QCOMPARE(site.controllerEvents().size(), 17);
    }

    void lostAcknowledgementsGiveNoDuplicate()
    {
        const QList<QByteArray> events = MixedEventLog(6);
        RecordSite site(Via::Tcp, events);
        // The first acknowledgement of the first event never arrives; the second does.
        site.sim->controller().modify([](ControllerData &d) {
            d.lostAcknowledgements = 1;
            return true;
        });
        ReadOutcome outcome = site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::EndOfLog);
        QCOMPARE(TableRows(site.table), ExpectedRows(events));

        // Every acknowledgement of one event lost: the read stops with the event kept, and the
        // next read, which gets that event again, takes it once.
        const QList<QByteArray> more = MixedEventLog(5, 7);
        site.sim->controller().modify([&more](ControllerData &d) {
            d.events = more;
            d.lostAcknowledgements = 5;
            return true;
        });
        RecordTable::Recreate(site.table);
        outcome = site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::Errors);
        QCOMPARE(outcome.read, 1);
        QVERIFY(outcome.summary().startsWith(QStringLiteral("Error!")));
        QVERIFY(outcome.summary().contains(more.first().right(7)));
        QCOMPARE(site.controllerEvents(), more);
        outcome = site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::EndOfLog);
        QCOMPARE(outcome.duplicates, 1);
        QCOMPARE(outcome.read, 4);
        QCOMPARE(TableRows(site.table), ExpectedRows(more));
    }

    void faultyLineDrainsTheLogExactlyOnce_data()
    {
        // A lost reply costs the full reply time, so the lost ones are few.
        QTest::addColumn<Via>("via");
        QTest::addColumn<double>("dropShare");
        QTest::newRow("tcp, lost and damaged replies") << Via::Tcp << 0.06;
        QTest::newRow("pty, damaged replies") << Via::Serial << 0.0;
    }
    void faultyLineDrainsTheLogExactlyOnce()
    {
        QFETCH(Via, via);
        QFETCH(double, dropShare);
        const QList<QByteArray> events = MixedEventLog(40, 3);
        RecordSite site(via, events);
        FaultSettings faults;
        faults.dropShare = dropShare;
        faults.corruptShare = 0.3;
        site.sim->setFaults(faults);
        // On the way two acknowledgements in a row go missing.
        bool armed = false;
        QObject::connect(&site.reader, &RecordReader::status, &site.reader, [&] {
            if (site.table.RecordCount() == 10 && !armed) {
                armed = true;
                site.sim->controller().modify([](ControllerData &d) {
                    d.lostAcknowledgements = 2;
                    return true;
                });
            }
        });
        int lostOrDamaged = 0;
        QObject::connect(&site.comm, &Comm::logLine, &site.comm, [&](const QString &line) {
            if (line.startsWith(QLatin1String("02")) || line.startsWith(QLatin1String("11")))
                ++lostOrDamaged;
        });
        int reads = 0;
        while (reads < 30) {
            ++reads;
            const ReadOutcome outcome =
                site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
            if (outcome.end == ReadOutcome::End::EndOfLog)
                break;
            QCOMPARE(outcome.end, ReadOutcome::End::Errors);
        }
        site.sim->clearFaults();
        QVERIFY(site.controllerEvents().isEmpty());
        QCOMPARE(TableRows(site.table), ExpectedRows(events));
        QVERIFY2(lostOrDamaged > 20 && armed, "the faults reached the read");
        QCOMPARE(site.journal->pendingCount(), 40);
    }

    void lateReplyIsNotTakenForTheNextEvent()
    {
        // The first "IM" for the third event gets its reply after the time-out; the second
        // gets the event at once. The late copy must not pass for the reply to the "IM" of the
        // fourth: taken for the third sent again, it would be acknowledged a second time while
        // the controller holds the fourth at its head.
        const QList<QByteArray> events = MixedEventLog(5, 5);
        const QString third = QString::fromLatin1(events[2].right(7));
        RecordSite site(Via::Tcp, events);
        int step = 0;
        QObject::connect(&site.reader, &RecordReader::status, &site.reader, [&site, &step] {
            FaultSettings faults;
            if (++step == 3)
                faults.lateMs = 700;
            if (step != 4)
                site.sim->setFaults(faults);
        });
        int acknowledged = 0;
        QObject::connect(&site.comm, &Comm::logLine, &site.comm, [&](const QString &line) {
            if (line.startsWith(QLatin1String("02[0001IM]")))
                site.sim->clearFaults();
            if (line.startsWith(QStringLiteral("01[0001IN") + third)) {
                ++acknowledged;
                // The fourth event's reply comes slowly, after the late copy.
                FaultSettings slow;
                slow.lateMs = 300;
                site.sim->setFaults(slow);
            }
        });
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(TableRows(site.table), ExpectedRows(events));
        QCOMPARE(acknowledged, 1);
        QCOMPARE(outcome.duplicates, 0);
        QCOMPARE(outcome.end, ReadOutcome::End::EndOfLog);
    }

    void repeatedReplyGivesNoDuplicate()
    {
        // The reply to the "IM" of the fourth event comes twice; the second copy arrives while
        // the "IM" of the sixth waits, whose own reply is lost. The controller let the fourth
        // event go long ago: it must not become a row again, whether the copy is taken and
        // known for an event read already, or doubted and asked again (a line that has shown
        // stray frames).
        const QList<QByteArray> events = MixedEventLog(8, 9);
        RecordSite site(Via::Tcp, events);
        int step = 0;
        QObject::connect(&site.reader, &RecordReader::status, &site.reader, [&site, &step] {
            FaultSettings faults;
            switch (++step) {
            case 4:
                faults.duplicateDelayMs = 60;
                break;
            case 6:
                faults.lostCodes.insert(QByteArrayLiteral("IM"), 1);
                break;
            default:
                break;
            }
            site.sim->setFaults(faults);
        });
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(TableRows(site.table), ExpectedRows(events));
        QCOMPARE(outcome.end, ReadOutcome::End::EndOfLog);
        QVERIFY(outcome.duplicates <= 1);
        QVERIFY(site.controllerEvents().isEmpty());
        QCOMPARE(site.journal->pendingCount(), 8);
    }

    void samePointerAnotherEventIsKept()
    {
        // Read and saved; then the controller's log is cleared and counts its pointers from
        // the start again, so that a new event comes with the pointer of the last one saved.
        const QList<QByteArray> events = MixedEventLog(3);
        RecordSite site(Via::Tcp, events);
        site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QVERIFY(site.journal->clearPending());
        site.journal.reset();
        site.openJournal();
        QCOMPARE(site.journal->lastPointer().toLatin1(), events.last().right(7));
        const QList<QByteArray> after = MixedEventLog(5, 7).mid(2);
        QCOMPARE(after.first().right(7), events.last().right(7));
        QVERIFY(after.first() != events.last());
        site.sim->controller().modify([&after](ControllerData &d) {
            d.events = after;
            return true;
        });
        RecordTable::Recreate(site.table);
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(TableRows(site.table), ExpectedRows(after));
        QCOMPARE(outcome.duplicates, 0);
        QVERIFY(site.controllerEvents().isEmpty());

        // The same event again after its acknowledgement was lost is still taken once, also
        // across a save.
        QVERIFY(site.journal->clearPending());
        site.journal.reset();
        site.openJournal();
        site.sim->controller().modify([&after](ControllerData &d) {
            d.events = after.mid(2);
            return true;
        });
        RecordTable::Recreate(site.table);
        const ReadOutcome again =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(again.duplicates, 1);
        QCOMPARE(site.table.RecordCount(), 0);
    }

    // A controller that confirms every acknowledgement but keeps sending the same event would
    // have the read run on without end; it stops after a few, named, and the event is once in
    // the table.
    void controllerThatKeepsSendingOneEventEndsTheRead()
    {
        const QByteArray stuck = MixedEventLog(1).first();
        RecordSite site(Via::Tcp, QList<QByteArray>(50, stuck));
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::Errors);
        QCOMPARE(outcome.read, 1);
        QCOMPARE(TableRows(site.table), ExpectedRows({stuck}));
        QVERIFY2(outcome.summary().contains(QStringLiteral("same event")),
                 qPrintable(outcome.summary()));
        QVERIFY(site.controllerEvents().size() > 40);
    }

    void journalKeepsEveryEventUntilSaved()
    {
        const QList<QByteArray> events = MixedEventLog(8);
        RecordSite site(Via::Tcp, events);
        site.reader.read(site.table, *site.journal, 5);
        const QString path = site.journal->path();
        site.journal.reset();
        std::optional<RecordJournal> journal;
        journal.emplace(path);
        QVERIFY(journal->open());
        QCOMPARE(journal->pendingCount(), 5);
        const QList<JournalEntry> pending = journal->pending();
        QCOMPARE(pending.size(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(pending[i].record, ExpectedRows(events)[i]);
            QCOMPARE(pending[i].raw.toLatin1(), events[i]);
            QCOMPARE(pending[i].pointer.toLatin1(), events[i].right(7));
        }
        // A second program cannot read the same controller into it meanwhile.
        RecordJournal second(path);
        QVERIFY(!second.open());
        QVERIFY(second.error().contains(path));

        // Saved: the events go, the last pointer stays to recognise a repeated event.
        QVERIFY(journal->clearPending());
        QCOMPARE(journal->pendingCount(), 0);
        QCOMPARE(journal->lastPointer().toLatin1(), events[4].right(7));
        QVERIFY(journal->pending().isEmpty());
        QVERIFY(journal->append({QStringLiteral("0000099"), QStringLiteral("raw"), Event(99)}));
        QCOMPARE(journal->pending().size(), 1);
        // A blank event is never journalled.
        QVERIFY(!journal->append({QStringLiteral("0000098"), QStringLiteral("raw"), {}}));
        QCOMPARE(journal->pending().size(), 1);

        // A line cut short by a crash was never acknowledged: it is skipped, and the next
        // entry starts a line of its own.
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write("{\"pointer\":\"00001");
        file.close();
        QCOMPARE(journal->pending().size(), 1);
        journal.reset();
        journal.emplace(path);
        QVERIFY(journal->open());
        QCOMPARE(journal->pendingCount(), 1);
        QVERIFY(journal->append({QStringLiteral("0000100"), QStringLiteral("raw"), Event(100)}));
        QCOMPARE(journal->pending().size(), 2);
        QCOMPARE(journal->lastPointer(), QStringLiteral("0000100"));
        QVERIFY(journal->unreadableLines().isEmpty());
    }

    // Lines that hold no readable event (damaged on the disk, edited by hand) are neither
    // taken as blank events nor dropped when the journal is cleared: they stay, and are named.
    void damagedJournalLinesAreKeptAndNamed()
    {
        const QTemporaryDir folder;
        const QString path = RecordJournal::PathFor(folder.path(), QStringLiteral("12345678"));
        const QByteArray damaged[] = {
            "{\"pointer\":\"0000002\",\"raw\":\"x\",\"row\":[1,2,3,4,5,6,7]}",
            "{\"pointer\":\"0000003\",\"ro",
            "{\"pointer\":\"0000004\",\"raw\":\"x\",\"row\":[\"\",\"\",\"\",\"\",\"\",\"\",\"\"]}",
            "{\"pointer\":\"0000005\",\"raw\":\"x\",\"row\":[\"0000005\",\"12\"]}",
        };
        {
            RecordJournal writer(path);
            QVERIFY(writer.open());
            QVERIFY(writer.append({QStringLiteral("0000001"), QStringLiteral("raw1"), Event(1)}));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        for (const QByteArray &line : damaged)
            file.write(line + '\n');
        file.close();
        {
            RecordJournal writer(path);
            QVERIFY(writer.open());
            QVERIFY(writer.append({QStringLiteral("0000006"), QStringLiteral("raw6"), Event(6)}));
        }
        // And a line a crash cut short at the end: never acknowledged, it goes.
        QVERIFY(file.open(QIODevice::Append));
        file.write("{\"pointer\":\"00000");
        file.close();

        std::optional<RecordJournal> journal;
        journal.emplace(path);
        QVERIFY(journal->open());
        QCOMPARE(journal->pendingCount(), 2);
        const QList<JournalEntry> pending = journal->pending();
        QCOMPARE(pending.size(), 2);
        QCOMPARE(pending.at(0).record, Event(1));
        QCOMPARE(pending.at(1).record, Event(6));
        QCOMPARE(journal->unreadableLines(), (QList<int>{2, 3, 4, 5}));
        QVERIFY2(journal->unreadableNote().contains(path), qPrintable(journal->unreadableNote()));
        QVERIFY2(journal->unreadableNote().contains(QStringLiteral(" 2, 3, 4, 5)")),
                 qPrintable(journal->unreadableNote()));

        // Cleared after a save: the events go, the damaged lines stay for someone to look at.
        QVERIFY(journal->clearPending());
        QCOMPARE(journal->unreadableLines(), (QList<int>{1, 2, 3, 4}));
        QVERIFY(journal->pending().isEmpty());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray kept = file.readAll();
        file.close();
        for (const QByteArray &line : damaged)
            QVERIFY2(kept.contains(line + '\n'), kept.constData());
        QVERIFY(!kept.contains("\"pointer\":\"00000\n"));
        QVERIFY(journal->append({QStringLiteral("0000007"), QStringLiteral("raw7"), Event(7)}));

        journal.reset();
        journal.emplace(path);
        QVERIFY(journal->open());
        QCOMPARE(journal->pendingCount(), 1);
        QCOMPARE(journal->unreadableLines(), (QList<int>{1, 2, 3, 4}));
        QCOMPARE(journal->lastPointer(), QStringLiteral("0000007"));
    }

    void cancelStopsAfterAnAcknowledgedEvent()
    {
        const QList<QByteArray> events = MixedEventLog(40);
        RecordSite site(Via::Tcp, events);
        QObject::connect(&site.reader, &RecordReader::status, &site.reader, [&site] {
            if (site.table.RecordCount() == 5)
                site.progress.requestStop();
        });
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::Stopped);
        QCOMPARE(outcome.read, 6);
        QCOMPARE(site.controllerEvents(), events.mid(6));
        QCOMPARE(site.journal->pendingCount(), 6);
        QCOMPARE(outcome.remaining, std::optional<qint64>(34));
        QVERIFY(outcome.summary().contains(QStringLiteral("cancelled by the user")));
        QVERIFY(!site.progress.running());
    }

    void unwritableJournalLeavesTheEventInTheController()
    {
        const QList<QByteArray> events = MixedEventLog(10);
        RecordSite site(Via::Tcp, events);
        // The disk takes two more lines at most.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit small = before;
        small.rlim_cur = rlim_t(QFileInfo(site.journal->path()).size() + 250);
        setrlimit(RLIMIT_FSIZE, &small);
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(outcome.end, ReadOutcome::End::Errors);
        QVERIFY(outcome.read >= 1 && outcome.read < 10);
        QCOMPARE(site.controllerEvents(), events.mid(outcome.read));
        QCOMPARE(site.journal->pendingCount(), outcome.read);
        QVERIFY(outcome.summary().contains(site.journal->path()));
    }

    // A controller that stops answering part-way: the message counts the events read and
    // does not say that none was.
    void silenceAfterSomeEventsSaysWhatWasRead()
    {
        const QList<QByteArray> events = MixedEventLog(10);
        RecordSite site(Via::Tcp, events);
        int acknowledged = 0;
        connect(&site.comm, &Comm::logLine, &site.comm, [&](const QString &line) {
            if (line.contains(QStringLiteral("[0001IN")) && ++acknowledged == 4) {
                FaultSettings silent;
                silent.silentCodes = {QByteArray("IM")};
                site.sim->setFaults(silent);
            }
        });
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::Errors);
        QCOMPARE(outcome.read, 4);
        const QString summary = outcome.summary();
        QVERIFY2(summary.contains(QStringLiteral("4 event(s) read.")), qPrintable(summary));
        QVERIFY2(!summary.contains(QStringLiteral("No event")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("no reply")), qPrintable(summary));
        QVERIFY2(summary.contains(QStringLiteral("6 event(s) are still")), qPrintable(summary));
    }

    // A count reply that holds no number says nothing about the log: it is no count, and a
    // read that then ends is not read to its end.
    void countWithoutANumberIsNoCount_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("blanks") << QByteArray("   ");
        QTest::newRow("letters") << QByteArray("3X6");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("below zero") << QByteArray("-36");
    }

    void countWithoutANumberIsNoCount()
    {
        QFETCH(QByteArray, data);
        RecordSite site(Via::Tcp, MixedEventLog(36));
        FaultSettings faults;
        faults.replacedData.insert("ID", data);
        QVERIFY(faults.addErrorCode(QStringLiteral("IM:A")));
        site.sim->setFaults(faults);
        QCOMPARE(site.reader.countQuery(), std::nullopt);
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::Errors);
        QVERIFY(!outcome.complete());
        QVERIFY2(!outcome.summary().contains(QStringLiteral("read to its end")),
                 qPrintable(outcome.summary()));
        QCOMPARE(site.controllerEvents().size(), 36);
    }

    // An event reply of neither layout's length is a damaged reply, tried again like one:
    // the next attempt brings the event.
    void eventReplyOfAnotherLengthIsTriedAgain()
    {
        const QList<QByteArray> events = MixedEventLog(3);
        RecordSite site(Via::Tcp, events);
        FaultSettings faults;
        faults.wrongLengthShare = 1;
        faults.wrongLengthShape = FaultSettings::WrongLength::Long;
        faults.wrongLengthCodes = {QByteArray("IM")};
        site.sim->setFaults(faults);
        QStringList eventReads;
        connect(&site.comm, &Comm::logLine, &site.comm, [&](const QString &line) {
            if (!line.contains(QStringLiteral("[0001IM]")))
                return;
            eventReads << line;
            site.sim->clearFaults();
        });
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QVERIFY2(outcome.complete(), qPrintable(outcome.summary()));
        QCOMPARE(outcome.read, 3);
        QCOMPARE(TableRows(site.table), ExpectedRows(events));
        QVERIFY2(eventReads.first().endsWith(QStringLiteral("(35)")) ||
                     eventReads.first().endsWith(QStringLiteral("(32)")),
                 qPrintable(eventReads.first()));
    }

    void noLinkNoRead()
    {
        RecordSite site(Via::Tcp, MixedEventLog(3));
        site.comm.CommClose();
        const ReadOutcome outcome =
            site.reader.read(site.table, *site.journal, RecordReader::NoLimit);
        QCOMPARE(outcome.end, ReadOutcome::End::Errors);
        QCOMPARE(outcome.read, 0);
        QCOMPARE(site.controllerEvents().size(), 3);
        QCOMPARE(site.reader.countQuery(), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestRecordReader)
#include "test_record_reader.moc"
