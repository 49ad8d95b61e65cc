// kt480ctl and the event archive as a site uses them: reads into the archive (SQLite and
// PostgreSQL), a run that ended between the archive's commit and the journal's clearing, record
// files brought in, searches and reports, a fleet read, and archives that cannot take the events
// (which then stay in the journal).
#include "../cli/CtlRun.h"
#include "ArchiveBackends.h"
#include "ArchiveBatch.h"
#include "ArchiveSql.h"
#include "EventArchive.h"
#include "EventDecoder.h"
#include "EventLogMix.h"
#include "EventReply.h"
#include "RecordFile.h"
#include "RecordJournal.h"
#include "RecordTable.h"
#include "SimulatorHost.h"
#include "TableCsv.h"
#include "TableStore.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString Serial = QStringLiteral("12345678");

// The date and time of each event, in order.
QStringList Times(const QList<QByteArray> &events)
{
    QStringList times;
    for (const QByteArray &e : events)
        times << DecodeEvent(*EventReply::parse(QString::fromLatin1(e), int(e.size())))
                     .record.DataTime;
    return times;
}

QStringList JsonTimes(const QJsonObject &query)
{
    QStringList times;
    for (const QJsonValue &event : query.value(QStringLiteral("events")).toArray())
        times << event.toObject().value(QStringLiteral("dateTime")).toString();
    return times;
}

} // namespace

class TestArchiveCli : public QObject
{
    Q_OBJECT

    ArchiveBackends backends_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<SimulatorHost> sim_;
    QList<QByteArray> events_;
    QString tcp_;

    void startSimulator(const QList<QByteArray> &events, const FaultSettings &faults = {})
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.faults = faults;
        ControllerData data = ControllerData::factory(1);
        data.events = events;
        config.controllers = {data};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KT480_JOURNAL_DIR"), journalFolder());
        env.insert(QStringLiteral("KT480_SETTINGS"), dir_->filePath(QStringLiteral("s.ini")));
        return env;
    }
    QString journalFolder() const { return dir_->filePath(QStringLiteral("journal")); }
    QString journalPath() const { return RecordJournal::PathFor(journalFolder(), Serial); }

    Run ctl(const QStringList &arguments) const { return RunCtl(arguments, environment()); }
    Run read(const QString &db, const QStringList &more = {}) const
    {
        return ctl(QStringList{QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"),
                               QStringLiteral("records"), QStringLiteral("read"),
                               QStringLiteral("--db"), db} +
                   more);
    }
    Run query(const QString &db, const QStringList &more = {}) const
    {
        return ctl(QStringList{QStringLiteral("--json"), QStringLiteral("records"),
                               QStringLiteral("query"), QStringLiteral("--db"), db} +
                   more);
    }

    // Makes p run as a user that may not write the files the test made read-only: root may
    // write them all, so a run as root becomes nobody (who keeps a journal folder of its own).
    bool runsWithoutTheRightToWrite(QProcess &p) const
    {
        if (::geteuid() != 0)
            return true;
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody)
            return false;
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        QDir().mkpath(journalFolder());
        if (::chown(QFile::encodeName(journalFolder()).constData(), uid, gid) != 0)
            return false;
        ::chmod(QFile::encodeName(dir_->path()).constData(), 0755);
        p.setChildProcessModifier([uid, gid] {
            if (::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(99);
        });
        return true;
    }

    int pendingInJournal() const
    {
        RecordJournal journal(journalPath());
        return journal.open() ? journal.pendingCount() : -1;
    }
    int leftInController() { return int(sim_->controller().snapshot().events.size()); }

private slots:
    void initTestCase() { backends_.start(); }
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        events_ = MixedEventLog(40, 5);
        startSimulator(events_);
    }

    // Two reads into the archive: every event once, in the controller's order, the journal
    // cleared after each.
    void readsGoIntoTheArchive_data() { ArchiveBackends::addColumn(); }
    void readsGoIntoTheArchive()
    {
        QFETCH(bool, postgres);
        const QString db = backends_.fresh(postgres, dir_->path());
        if (db.isEmpty())
            return;
        Run r = read(db, {QStringLiteral("--limit"), QStringLiteral("10")});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.json()
                     .value(QStringLiteral("archive"))
                     .toObject()
                     .value(QStringLiteral("added"))
                     .toInt(),
                 10);
        QCOMPARE(r.json().value(QStringLiteral("unsaved")).toInt(), 0);
        QCOMPARE(pendingInJournal(), 0);
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--db"), db});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QVERIFY2(r.out.contains("archive: 30 added, 0 there already"), r.out.constData());
        QCOMPARE(leftInController(), 0);
        r = query(db);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(JsonTimes(r.json()), Times(events_));
        const QJsonObject first =
            r.json().value(QStringLiteral("events")).toArray().first().toObject();
        QCOMPARE(first.value(QStringLiteral("controller")).toString(), Serial);
        QVERIFY(!first.value(QStringLiteral("readTime")).toString().isEmpty());
    }

    // The run ended after the archive committed and before the journal was cleared: the
    // journal still holds the events. The next read stores them again, which adds nothing.
    void endedBetweenCommitAndClearAddsNoDuplicate()
    {
        const QString db = dir_->filePath(QStringLiteral("archive.db"));
        Run r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"),
                     QStringLiteral("read"), QStringLiteral("--limit"), QStringLiteral("10")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(pendingInJournal(), 10);
        {
            RecordJournal journal(journalPath());
            QVERIFY(journal.open());
            QString error;
            EventArchive archive(*ArchiveAddress::parse(db, error));
            QVERIFY(archive.open(EventArchive::Use::Write));
            QCOMPARE(archive.store(ArchiveBatch::FromJournal(Serial, QString(), journal.pending()))
                         ->added,
                     10);
        }
        r = read(db);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QJsonObject archived = r.json().value(QStringLiteral("archive")).toObject();
        QCOMPARE(archived.value(QStringLiteral("added")).toInt(), 30);
        QCOMPARE(archived.value(QStringLiteral("present")).toInt(), 10);
        QCOMPARE(r.json().value(QStringLiteral("recovered")).toInt(), 10);
        QCOMPARE(JsonTimes(query(db).json()), Times(events_));
    }

    // Two events alike in every field, one after the other in the same second: two events.
    void eventsAlikeAreBothKept()
    {
        const QDateTime at(QDate(2024, 5, 6), QTime(7, 8, 9));
        QList<QByteArray> alike;
        for (int pointer = 1; pointer <= 3; ++pointer)
            alike << EventPayload(1, at, "1234", 'A', 0, 1, pointer);
        startSimulator(alike);
        const QString db = dir_->filePath(QStringLiteral("archive.db"));
        const Run r = read(db);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(query(db).json().value(QStringLiteral("count")).toInt(), 3);
    }

    // A record file brought in twice, and one whose events a read brought already: nothing
    // is added twice. Rows that are no events are named and left out.
    void importingAFileKeepsEachEventOnce()
    {
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        QCOMPARE(
            ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--limit"), QStringLiteral("25"), QStringLiteral("--out"), xml})
                .exitCode,
            0);
        const QString db = dir_->filePath(QStringLiteral("archive.db"));
        const QStringList import{QStringLiteral("--json"),       QStringLiteral("records"),
                                 QStringLiteral("import"),       xml,
                                 QStringLiteral("--db"),         db,
                                 QStringLiteral("--controller"), Serial};
        Run r = ctl(import);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.json().value(QStringLiteral("added")).toInt(), 25);
        r = ctl(import);
        QCOMPARE(r.json().value(QStringLiteral("added")).toInt(), 0);
        QCOMPARE(r.json().value(QStringLiteral("present")).toInt(), 25);
        // The rest read into the archive, then the same file of everything: nothing new.
        QCOMPARE(read(db).exitCode, 0);
        const QString all = dir_->filePath(QStringLiteral("all.xml"));
        TableStore table;
        RecordTable::Recreate(table);
        const QJsonArray stored = query(db).json().value(QStringLiteral("events")).toArray();
        QCOMPARE(stored.size(), 40);
        for (const QJsonValue &value : stored) {
            const QJsonObject e = value.toObject();
            EventRecord record;
            record.DataTime = e.value(QStringLiteral("dateTime")).toString();
            record.CardNO = e.value(QStringLiteral("card")).toString();
            record.iStatus = QString::number(e.value(QStringLiteral("code")).toInt());
            record.SStatus = e.value(QStringLiteral("event")).toString();
            record.iChannel = e.value(QStringLiteral("channel")).toString();
            record.APB = e.value(QStringLiteral("apb")).toString();
            RecordTable::Append(table, record);
        }
        // A row that is no event.
        EventRecord bad;
        bad.DataTime = QStringLiteral("yesterday");
        bad.iStatus = QStringLiteral("11");
        RecordTable::Append(table, bad);
        QVERIFY(RecordFile::Save(table, all));
        r = ctl({QStringLiteral("--json"), QStringLiteral("records"), QStringLiteral("import"), all,
                 QStringLiteral("--db"), db, QStringLiteral("--controller"), Serial});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.json().value(QStringLiteral("added")).toInt(), 0);
        QCOMPARE(r.json().value(QStringLiteral("skipped")).toArray().size(), 1);
        QVERIFY2(r.err.contains("row 41 (yesterday, 11)"), r.err.constData());
        QCOMPARE(query(db).json().value(QStringLiteral("count")).toInt(), 40);
    }

    void searchesAndReports()
    {
        const QString db = dir_->filePath(QStringLiteral("archive.db"));
        QCOMPARE(read(db).exitCode, 0);
        const QJsonArray all = query(db).json().value(QStringLiteral("events")).toArray();
        const QString card = all.first().toObject().value(QStringLiteral("card")).toString();
        int ofCard = 0;
        for (const QJsonValue &e : all)
            ofCard += e.toObject().value(QStringLiteral("card")).toString().toInt() == card.toInt()
                          ? 1
                          : 0;

        Run r = query(db, {QStringLiteral("--card"), QString::number(card.toInt()),
                           QStringLiteral("--controller"), Serial});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json().value(QStringLiteral("count")).toInt(), ofCard);
        r = query(db, {QStringLiteral("--limit"), QStringLiteral("3"), QStringLiteral("--code"),
                       QStringLiteral("11,12")});
        QCOMPARE(r.json().value(QStringLiteral("count")).toInt(), 3);
        QVERIFY(r.json()
                    .value(QStringLiteral("query"))
                    .toString()
                    .contains(QStringLiteral("codes 11,12")));

        const QString events = dir_->filePath(QStringLiteral("events.csv"));
        r = ctl({QStringLiteral("records"), QStringLiteral("query"), QStringLiteral("--db"), db,
                 QStringLiteral("--csv"), events});
        QCOMPARE(r.exitCode, 0);
        TableStore csv;
        QVERIFY(ReadCsvFile(events, csv));
        QCOMPARE(csv.RecordCount(), 40);
        QCOMPARE(csv.Value(0, csv.FieldIndex(QStringLiteral("controller"))), Serial);
        r = ctl({QStringLiteral("records"), QStringLiteral("query"), QStringLiteral("--db"), db,
                 QStringLiteral("--limit"), QStringLiteral("2")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith("date/time") && r.out.contains("2 events (every controller"),
                 r.out.constData());

        const QString pdf = dir_->filePath(QStringLiteral("card.pdf"));
        const QString out = dir_->filePath(QStringLiteral("card.csv"));
        r = ctl({QStringLiteral("--json"), QStringLiteral("records"), QStringLiteral("report"),
                 QStringLiteral("--db"), db, QStringLiteral("--card"), card,
                 QStringLiteral("--pdf"), pdf, QStringLiteral("--csv"), out});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.json().value(QStringLiteral("rows")).toInt(), ofCard);
        QVERIFY(
            r.json().value(QStringLiteral("query")).toString().contains(QStringLiteral("card ")));
        QVERIFY(QFile(pdf).size() > 1000);
        // The heading names the controller whose events the archive gave.
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(30000));
        const QString pdfText = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(pdfText.contains(Serial), qPrintable(pdfText));
        TableStore rows;
        QVERIFY(ReadCsvFile(out, rows));
        QCOMPARE(rows.RecordCount(), ofCard);

        // Bad arguments are told apart from failures.
        for (const QStringList &bad :
             {QStringList{QStringLiteral("records"), QStringLiteral("query")},
              {QStringLiteral("records"), QStringLiteral("query"), QStringLiteral("--db"), db,
               QStringLiteral("--limit"), QStringLiteral("0")},
              {QStringLiteral("records"), QStringLiteral("query"), QStringLiteral("--db"),
               QStringLiteral("postgresql://nobody")},
              {QStringLiteral("records"), QStringLiteral("query"), QStringLiteral("--db"), db,
               QStringLiteral("--since"), QStringLiteral("soon")},
              {QStringLiteral("records"), QStringLiteral("import"), QStringLiteral("x.xml"),
               QStringLiteral("--db"), db},
              {QStringLiteral("records"), QStringLiteral("report"), QStringLiteral("--db"), db}})
            QCOMPARE(ctl(bad).exitCode, 2);
        // The archive is never written over by an output of the same run, nor read as a file
        // to import into itself.
        const auto bytes = [](const QString &path) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray archiveBefore = bytes(db);
        for (const QStringList &same :
             {QStringList{QStringLiteral("records"), QStringLiteral("query"),
                          QStringLiteral("--db"), db, QStringLiteral("--csv"), db},
              {QStringLiteral("records"), QStringLiteral("report"), QStringLiteral("--db"), db,
               QStringLiteral("--pdf"), db},
              {QStringLiteral("records"), QStringLiteral("import"), db, QStringLiteral("--db"), db,
               QStringLiteral("--controller"), Serial},
              {QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
               QStringLiteral("--db"), db, QStringLiteral("--out"), db}}) {
            r = ctl(same);
            QCOMPARE(r.exitCode, 2);
            QVERIFY2(r.err.contains("are the same file"), r.err.constData());
        }
        QCOMPARE(bytes(db), archiveBefore);
        r = ctl({QStringLiteral("records"), QStringLiteral("query"), QStringLiteral("--db"),
                 dir_->filePath(QStringLiteral("none.db"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("none.db: there is no archive"));
        QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("none.db"))));
    }

    // An archive that cannot take the events is named before the controller is asked for
    // one: the controller keeps its events, and the journal those an earlier read left.
    void unusableArchiveStopsTheReadBeforeItBegins_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a database") << QByteArray("hello") << "not a database";
        QTest::newRow("read-only") << QByteArray() << "read-only";
        QTest::newRow("server refuses") << QByteArray() << "no connection to the database server";
    }
    void unusableArchiveStopsTheReadBeforeItBegins()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QCOMPARE(ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"),
                      QStringLiteral("read"), QStringLiteral("--limit"), QStringLiteral("5")})
                     .exitCode,
                 1);
        QString db = dir_->filePath(QStringLiteral("archive.db"));
        QProcess p;
        p.setProcessEnvironment(environment());
        const QByteArray tag = QTest::currentDataTag();
        if (tag == "server refuses") {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            db = QStringLiteral("postgresql://site@127.0.0.1:%1/events").arg(probe.serverPort());
        } else if (tag == "read-only") {
            // An archive of another user: the run does not have the right to write it.
            // Made here, not by a read, which would store the journal's events.
            QString error;
            QVERIFY(EventArchive(*ArchiveAddress::parse(db, error)).open(EventArchive::Use::Write));
            QFile(db).setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
            QVERIFY(runsWithoutTheRightToWrite(p));
        } else {
            QFile file(db);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        p.start(QStringLiteral(KT480CTL_PATH),
                {QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--db"), db});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(err.contains(message.toUtf8()), err.constData());
        QCOMPARE(leftInController(), 35);
        QCOMPARE(pendingInJournal(), 5);
    }

    // A site's archive of an earlier version that this user may only read: a search finds its
    // events in the layout it has, and leaves the file as it was.
    void anOlderArchiveThatMayOnlyBeReadIsSearched()
    {
        const QString db = dir_->filePath(QStringLiteral("old.db"));
        RunSql(db, OldArchive(db, ArchiveSchema::SearchableFrom));
        QFile(db).setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QFile file(db);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        QProcess p;
        p.setProcessEnvironment(environment());
        QVERIFY(runsWithoutTheRightToWrite(p));
        p.start(QStringLiteral(KT480CTL_PATH),
                {QStringLiteral("--json"), QStringLiteral("records"), QStringLiteral("query"),
                 QStringLiteral("--db"), db, QStringLiteral("--card"), QStringLiteral("42")});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(p.exitCode() == 0, err.constData());
        QVERIFY2(err.isEmpty(), err.constData());
        QCOMPARE(JsonTimes(QJsonDocument::fromJson(p.readAllStandardOutput()).object()),
                 QStringList({"2023/12/31 23:00:00", "2024/01/05 10:00:00"}));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // The disk fills while the events are stored (here: the process's file size limit): a
    // failure, and the events stay in the journal; the next read stores all of them once.
    void fullDiskKeepsTheEventsInTheJournal()
    {
        const QString db = dir_->filePath(QStringLiteral("archive.db"));
        QCOMPARE(read(db, {QStringLiteral("--limit"), QStringLiteral("0")}).exitCode, 0);
        QProcess p;
        p.setProcessEnvironment(environment());
        p.setChildProcessModifier([] {
            rlimit small{};
            getrlimit(RLIMIT_FSIZE, &small);
            // Room for the journal of five events, not for the archive's own journal.
            small.rlim_cur = 1500;
            setrlimit(RLIMIT_FSIZE, &small);
            std::signal(SIGXFSZ, SIG_IGN);
        });
        p.start(QStringLiteral(KT480CTL_PATH),
                {QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("records"),
                 QStringLiteral("read"), QStringLiteral("--limit"), QStringLiteral("5"),
                 QStringLiteral("--db"), db});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 1);
        const QJsonObject o = QJsonDocument::fromJson(p.readAllStandardOutput()).object();
        QCOMPARE(o.value(QStringLiteral("unsaved")).toInt(), 5);
        QCOMPARE(o.value(QStringLiteral("archive")).toObject().value(QStringLiteral("committed")),
                 QJsonValue(false));
        QVERIFY2(err.contains(db.toUtf8() + ": cannot store the events"), err.constData());
        QCOMPARE(leftInController(), 35);
        QCOMPARE(pendingInJournal(), 5);

        const Run r = read(db);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(r.json().value(QStringLiteral("recovered")).toInt(), 5);
        QCOMPARE(JsonTimes(query(db).json()), Times(events_));
    }

    // The server goes away in the middle of a read: named, the events stay in the journal, and
    // the next read with the server back stores each once.
    void serverGoingAwayKeepsTheEventsInTheJournal()
    {
        const QString db = backends_.fresh(true, dir_->path());
        if (db.isEmpty())
            return;
        FaultSettings slow;
        slow.lateMs = 40;
        sim_->setFaults(slow);
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral(KT480CTL_PATH),
                {QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--db"), db});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(leftInController() < 35, 20000);
        backends_.cluster()->stop();
        QVERIFY(p.waitForFinished(60000));
        QVERIFY(backends_.cluster()->startServer());
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(err.contains(db.toUtf8() + ": ") &&
                     err.contains("not saved in a file or the archive"),
                 err.constData());
        QCOMPARE(pendingInJournal(), 40);

        sim_->clearFaults();
        const Run r = read(db);
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(JsonTimes(query(db).json()), Times(events_));
    }

    // The password reaches the server from PGPASSWORD and is nowhere in what the program says,
    // logs or traces.
    void thePasswordIsNeverShown()
    {
        const QString db = backends_.fresh(true, dir_->path());
        if (db.isEmpty())
            return;
        const QString trace = dir_->filePath(QStringLiteral("trace.txt"));
        const Run r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--verbose"),
                           QStringLiteral("--trace"), trace, QStringLiteral("records"),
                           QStringLiteral("read"), QStringLiteral("--db"), db});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QByteArray password = backends_.cluster()->password().toUtf8();
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray traced = file.readAll();
        QVERIFY(traced.contains("IM"));
        for (const QByteArray &said : {r.out, r.err, traced})
            QVERIFY(!said.contains(password));
        QVERIFY(r.err.contains("kt480.archive"));
    }

    // A whole site read into one archive, each controller tagged with its serial number and
    // its name in the site file; a search by that name finds its events.
    void fleetReadsEveryControllerIntoTheArchive()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        QList<QList<QByteArray>> logs;
        for (int id = 1; id <= 3; ++id) {
            ControllerData data = ControllerData::factory(id);
            data.serialNumber = QByteArray::number(30000000 + id);
            data.events = MixedEventLog(10 * id, id);
            logs << data.events;
            config.controllers << data;
        }
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        const QString site = dir_->filePath(QStringLiteral("site.csv"));
        QVERIFY(WriteTextFile(site, QStringLiteral("name,transport,address,port,id\n"
                                                   "north,tcp,127.0.0.1,%1,1\n"
                                                   "south,tcp,127.0.0.1,%1,2\n"
                                                   "east,tcp,127.0.0.1,%1,3\n"
                                                   "silent,tcp,127.0.0.1,%1,9\n")
                                        .arg(sim_->tcpPort())
                                        .toUtf8()));
        const QString db = dir_->filePath(QStringLiteral("archive.db"));
        Run r =
            ctl({QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("records"), site,
                 QStringLiteral("--db"), db, QStringLiteral("--jobs"), QStringLiteral("3")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.json().value(QStringLiteral("succeeded")).toInt(), 3);
        for (int id = 1; id <= 3; ++id)
            QVERIFY(sim_->controller(id - 1).snapshot().events.isEmpty());
        const QStringList names{QStringLiteral("north"), QStringLiteral("south"),
                                QStringLiteral("east")};
        for (int id = 1; id <= 3; ++id) {
            r = query(db, {QStringLiteral("--controller"), names[id - 1]});
            QCOMPARE(JsonTimes(r.json()), Times(logs[id - 1]));
            r = query(db, {QStringLiteral("--controller"), QString::number(30000000 + id)});
            QCOMPARE(r.json().value(QStringLiteral("count")).toInt(), 10 * id);
        }
        // Again: nothing left to read, nothing added, and the table says so.
        r = ctl(
            {QStringLiteral("fleet"), QStringLiteral("records"), site, QStringLiteral("--db"), db});
        QVERIFY2(r.out.contains("3 of 4 controllers read into " + db.toUtf8()), r.out.constData());
        QCOMPARE(query(db).json().value(QStringLiteral("count")).toInt(), 60);

        // A line of south's journal that cannot be read: named, south failed, the line kept.
        QFile journal(RecordJournal::PathFor(journalFolder(), QStringLiteral("30000002")));
        QVERIFY(journal.open(QIODevice::ReadWrite));
        const QByteArray damaged = "{\"pointer\":\"0000001\",\"row\":7}";
        const QByteArray earlier = journal.readAll();
        journal.seek(0);
        journal.write(damaged + '\n' + earlier);
        journal.close();
        r = ctl(
            {QStringLiteral("fleet"), QStringLiteral("records"), site, QStringLiteral("--db"), db});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("2 of 4 controllers read into ") &&
                     r.out.contains("failed: south, silent"),
                 r.out.constData());
        QCOMPARE(r.err.count(journal.fileName().toUtf8()), 1);
        QVERIFY2(r.err.contains("cannot be read as an event (line 1)"), r.err.constData());
        r = ctl({QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("records"), site,
                 QStringLiteral("--db"), db});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("cannot be read as an event (line 1)"), r.err.constData());
        const QJsonObject south =
            r.json().value(QStringLiteral("controllers")).toArray().at(1).toObject();
        QCOMPARE(south.value(QStringLiteral("name")).toString(), QStringLiteral("south"));
        QCOMPARE(south.value(QStringLiteral("unreadableJournalLines")).toArray(), QJsonArray{1});
        QCOMPARE(south.value(QStringLiteral("failures")).toArray().size(), 1);
        QVERIFY(journal.open(QIODevice::ReadOnly));
        QVERIFY(journal.readAll().startsWith(damaged + '\n'));
        journal.close();
        // A fleet read wants its archive; the archive is for fleet records only.
        QCOMPARE(ctl({QStringLiteral("fleet"), QStringLiteral("records"), site}).exitCode, 2);
        QCOMPARE(ctl({QStringLiteral("fleet"), QStringLiteral("backup"), site,
                      dir_->filePath(QStringLiteral("b")), QStringLiteral("--db"), db})
                     .exitCode,
                 2);
    }
};

QTEST_GUILESS_MAIN(TestArchiveCli)
#include "test_archive_cli.moc"
