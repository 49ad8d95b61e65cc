// kt480ctl's records verbs as a script uses them: real processes against the simulator,
// one killed between reading an event and acknowledging it.
#include "../cli/CtlRun.h"
#include "EventDecoder.h"
#include "EventLogMix.h"
#include "EventReply.h"
#include "RecordFile.h"
#include "RecordTable.h"
#include "SimulatorHost.h"
#include "TableCsv.h"
#include "TableStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScopeGuard>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <linux/fs.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QStringList Column(const TableStore &table, const QString &field)
{
    QStringList values;
    const int index = table.FieldIndex(field);
    for (int row = 0; row < table.RecordCount(); ++row)
        values << table.Value(row, index);
    return values;
}

// The date and time of each event, in order: what makes each row of a read one event.
QStringList Times(const QList<QByteArray> &events)
{
    QStringList times;
    for (const QByteArray &e : events)
        times << DecodeEvent(*EventReply::parse(QString::fromLatin1(e), int(e.size())))
                     .record.DataTime;
    return times;
}

} // namespace

class TestRecordsCli : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        ControllerData data = ControllerData::factory(1);
        events_ = MixedEventLog(40, 5);
        data.events = events_;
        config.controllers = {data};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
        dir_ = std::make_unique<QTemporaryDir>();
        journalDir_ = dir_->filePath(QStringLiteral("journal"));
    }

    void countReadAndSave()
    {
        Run r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("count")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(), QByteArray("40"));

        // Read without a file: the events stay in the journal, and the run says so.
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--limit"), QStringLiteral("10")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.contains("10 events read."));
        QVERIFY(r.err.contains("10 events are not saved"));
        QCOMPARE(sim_->controller().snapshot().events.size(), 30);
        // A run that fails does not say "OK!", also when the read itself went well.
        QVERIFY2(r.out.startsWith("Error!\n"), r.out.constData());

        // A file that cannot be written (a file stands where its folder should): the same.
        QFile blocker(dir_->filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--limit"), QStringLiteral("0"), QStringLiteral("--out"),
                 dir_->filePath(QStringLiteral("blocker/events.xml"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("Error!\n") && !r.out.contains("OK!"), r.out.constData());
        QVERIFY(r.err.contains("blocker/events.xml"));
        // In JSON too: the read itself was complete, the run was not.
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("records"),
                 QStringLiteral("read"), QStringLiteral("--limit"), QStringLiteral("0"),
                 QStringLiteral("--out"), dir_->filePath(QStringLiteral("blocker/events.xml"))});
        QCOMPARE(r.exitCode, 1);
        const QJsonObject failed = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(failed.value(QStringLiteral("complete")).toBool(), true);
        QCOMPARE(failed.value(QStringLiteral("unsaved")).toInt(), 10);
        QCOMPARE(failed.value(QStringLiteral("ok")), QJsonValue(false));

        // The next read takes them first, then the rest, and saves all of them.
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        const QString csv = dir_->filePath(QStringLiteral("events.csv"));
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("records"),
                 QStringLiteral("read"), QStringLiteral("--out"), xml, QStringLiteral("--csv"),
                 csv});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("end")).toString(), QStringLiteral("end-of-log"));
        QCOMPARE(o.value(QStringLiteral("recovered")).toInt(), 10);
        QCOMPARE(o.value(QStringLiteral("read")).toInt(), 30);
        QCOMPARE(o.value(QStringLiteral("unsaved")).toInt(), 0);
        QCOMPARE(o.value(QStringLiteral("ok")), QJsonValue(true));
        QCOMPARE(o.value(QStringLiteral("rows")).toArray().size(), 40);
        QCOMPARE(o.value(QStringLiteral("rows"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("DataTime")),
                 QStringLiteral("2008/09/22 14:05:09"));
        QVERIFY(sim_->controller().snapshot().events.isEmpty());

        TableStore table;
        QVERIFY(RecordFile::Load(table, xml));
        QCOMPARE(Column(table, QStringLiteral("DataTime")), Times(events_));
        QCOMPARE(Column(table, QStringLiteral("IONO")).last(), QStringLiteral("0000040"));
        TableStore fromCsv;
        QVERIFY(ReadCsvFile(csv, fromCsv));
        QCOMPARE(fromCsv.Content().rows, table.Content().rows);

        // Nothing left to read: still a success, and nothing is written.
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--out"), dir_->filePath(QStringLiteral("none.xml"))});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("no events"));
        QVERIFY(!QFileInfo::exists(dir_->filePath(QStringLiteral("none.xml"))));
    }

    // A save that fails on a full disk (here: the process's file size limit) is a failure, and
    // the events stay in the journal for the next read, even though the file was held whole
    // in the write buffer until the end.
    void fullDiskKeepsTheEventsInTheJournal()
    {
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        QProcess p;
        p.setProcessEnvironment(environment());
        p.setChildProcessModifier([] {
            rlimit small{};
            getrlimit(RLIMIT_FSIZE, &small);
            // Room for the journal of five events, not for their record file.
            small.rlim_cur = 1000;
            setrlimit(RLIMIT_FSIZE, &small);
            std::signal(SIGXFSZ, SIG_IGN);
        });
        p.start(QStringLiteral(KT480CTL_PATH),
                {QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("records"),
                 QStringLiteral("read"), QStringLiteral("--limit"), QStringLiteral("5"),
                 QStringLiteral("--out"), xml});
        QVERIFY(p.waitForFinished(60000));
        const QByteArray out = p.readAllStandardOutput();
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(p.exitCode(), 1);
        const QJsonObject o = QJsonDocument::fromJson(out).object();
        QCOMPARE(o.value(QStringLiteral("ok")), QJsonValue(false));
        QCOMPARE(o.value(QStringLiteral("unsaved")).toInt(), 5);
        QVERIFY(o.value(QStringLiteral("saved")).toArray().isEmpty());
        QVERIFY2(err.contains(xml.toUtf8()), err.constData());
        QVERIFY(!QFileInfo::exists(xml));
        QCOMPARE(sim_->controller().snapshot().events.size(), 35);

        // The next read, with room on the disk, saves all of them.
        const Run r =
            ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("records"),
                 QStringLiteral("read"), QStringLiteral("--out"), xml});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json().value(QStringLiteral("recovered")).toInt(), 5);
        TableStore table;
        QVERIFY(RecordFile::Load(table, xml));
        QCOMPARE(Column(table, QStringLiteral("DataTime")), Times(events_));
    }

    // A journal that cannot be cleared after the save (it may be appended to, not replaced) fails
    // the run, which says that the events are saved and stay in the journal too; the next read
    // takes them in again and saves none of them twice.
    void aJournalThatCannotBeClearedIsNamedBesideTheSave()
    {
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        const QStringList fiveEvents{QStringLiteral("--tcp"),   tcp_,
                                     QStringLiteral("records"), QStringLiteral("read"),
                                     QStringLiteral("--limit"), QStringLiteral("5"),
                                     QStringLiteral("--out"),   xml};
        const Run first = ctl(fiveEvents);
        QCOMPARE(first.exitCode, 0);
        // Into a pipe, the progress ends at its whole count.
        QVERIFY2(first.err.contains("Record data: 5 of 5 (100%)"), first.err.constData());
        const QByteArray journal = QFile::encodeName(
            QDir(journalDir_).filePath(QStringLiteral("KT480NTV5-events-12345678.journal")));
        const int fd = ::open(journal.constData(), O_RDONLY);
        QVERIFY(fd >= 0);
        const auto closeFile = qScopeGuard([fd] { ::close(fd); });
        int flags = 0;
        QVERIFY(::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0);
        const int appendOnly = flags | FS_APPEND_FL;
        if (::ioctl(fd, FS_IOC_SETFLAGS, &appendOnly) != 0)
            QSKIP("this file system or user cannot make a file append-only");
        auto restore = qScopeGuard([fd, flags] { ::ioctl(fd, FS_IOC_SETFLAGS, &flags); });

        Run r = ctl(fiveEvents);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("saved: " + QFile::encodeName(xml)), r.out.constData());
        QVERIFY2(r.err.contains("5 events are saved, but stay in " + journal), r.err.constData());
        QVERIFY2(r.err.contains("saves none of them twice"), r.err.constData());
        QVERIFY2(!r.err.contains("not saved in a file"), r.err.constData());
        QVERIFY2(!r.err.contains("Unknown error"), r.err.constData());

        restore.dismiss();
        QVERIFY(::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--out"), xml});
        QCOMPARE(r.exitCode, 0);
        TableStore table;
        QVERIFY(RecordFile::Load(table, xml));
        QCOMPARE(Column(table, QStringLiteral("DataTime")), Times(events_));
    }

    // A read whose file could not be written keeps its events in the journal and forgets the
    // file: the next read, into another file, saves them without a word of the first one.
    void aFileThatWasNeverWrittenIsNotLookedFor()
    {
        const QString never = QStringLiteral("/proc/kt480-none/events.xml");
        const Run failed =
            ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
                 QStringLiteral("--limit"), QStringLiteral("5"), QStringLiteral("--out"), never});
        QCOMPARE(failed.exitCode, 1);
        const QString csv = dir_->filePath(QStringLiteral("other.csv"));
        const Run r =
            ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("records"),
                 QStringLiteral("read"), QStringLiteral("--csv"), csv});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(!r.err.contains("kt480-none"), r.err.constData());
        QCOMPARE(r.json().value(QStringLiteral("recovered")).toInt(), 5);
        TableStore table;
        QVERIFY(ReadCsvFile(csv, table));
        QCOMPARE(Column(table, QStringLiteral("DataTime")), Times(events_));
    }

    void killedBetweenReadAndAcknowledgement()
    {
        // The acknowledgements never arrive, so the read waits after its first event.
        sim_->controller().modify([](ControllerData &d) {
            d.lostAcknowledgements = 1000;
            return true;
        });
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        QProcess first;
        first.setProcessEnvironment(environment());
        first.start(QStringLiteral(KT480CTL_PATH),
                    {QStringLiteral("--tcp"), tcp_, QStringLiteral("records"),
                     QStringLiteral("read"), QStringLiteral("--out"), xml});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(journalLines() == 1, 10000);
        first.kill();
        QVERIFY(first.waitForFinished());
        QCOMPARE(sim_->controller().snapshot().events, events_);
        QVERIFY(!QFileInfo::exists(xml));

        // Started again: the journal gives the event back, the controller sends it again,
        // and it is taken once.
        sim_->controller().modify([](ControllerData &d) {
            d.lostAcknowledgements = 0;
            return true;
        });
        const Run r =
            ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("records"),
                 QStringLiteral("read"), QStringLiteral("--out"), xml});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("recovered")).toInt(), 1);
        QCOMPARE(o.value(QStringLiteral("duplicates")).toInt(), 1);
        QCOMPARE(o.value(QStringLiteral("read")).toInt(), 39);
        TableStore table;
        QVERIFY(RecordFile::Load(table, xml));
        QCOMPARE(Column(table, QStringLiteral("DataTime")), Times(events_));
        QVERIFY(sim_->controller().snapshot().events.isEmpty());
    }

    // Read twice into the same file, as a person reads every morning: the file keeps the first
    // read's events and gets the second's after them; the controller has forgotten both.
    void aSecondReadAddsToTheFile()
    {
        const QString xml = dir_->filePath(QStringLiteral("same.xml"));
        const QString csv = dir_->filePath(QStringLiteral("same.csv"));
        const QStringList read{QStringLiteral("--tcp"),   tcp_,
                               QStringLiteral("records"), QStringLiteral("read"),
                               QStringLiteral("--limit"), QStringLiteral("15"),
                               QStringLiteral("--out"),   xml,
                               QStringLiteral("--csv"),   csv};
        QCOMPARE(ctl(read).exitCode, 0);
        QCOMPARE(ctl(read).exitCode, 0);
        QCOMPARE(sim_->controller().snapshot().events.size(), 10);
        TableStore table;
        QVERIFY(RecordFile::Load(table, xml));
        QCOMPARE(Column(table, QStringLiteral("DataTime")), Times(events_.mid(0, 30)));
        QCOMPARE(Column(table, QStringLiteral("IONO")).last(), QStringLiteral("0000030"));
        TableStore fromCsv;
        QVERIFY(ReadCsvFile(csv, fromCsv));
        QCOMPARE(fromCsv.Content().rows, table.Content().rows);
    }

    void journalLivesBesideTheSettings()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("KT480_JOURNAL_DIR"));
        const QString settings = dir_->filePath(QStringLiteral("conf/settings.ini"));
        QDir().mkpath(dir_->filePath(QStringLiteral("conf")));
        env.insert(QStringLiteral("KT480_SETTINGS"), settings);
        const Run r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"),
                           QStringLiteral("read"), QStringLiteral("--limit"), QStringLiteral("2")},
                          env);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(QFileInfo::exists(
            dir_->filePath(QStringLiteral("conf/KT480NTV5-events-12345678.journal"))));
    }

    void reportWithFilters()
    {
        const QString xml = dir_->filePath(QStringLiteral("events.xml"));
        QCOMPARE(ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"),
                      QStringLiteral("read"), QStringLiteral("--out"), xml})
                     .exitCode,
                 0);
        const QString pdf = dir_->filePath(QStringLiteral("alarms.pdf"));
        const QString csv = dir_->filePath(QStringLiteral("alarms.csv"));
        Run r =
            ctl({QStringLiteral("--json"), QStringLiteral("records"), QStringLiteral("report"), xml,
                 QStringLiteral("--pdf"), pdf, QStringLiteral("--csv"), csv,
                 QStringLiteral("--lang"), QStringLiteral("zh-CN"), QStringLiteral("--code"),
                 QStringLiteral("40-50"), QStringLiteral("--since"), QStringLiteral("2008-09-22")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("of")).toInt(), 40);
        QCOMPARE(o.value(QStringLiteral("pages")).toInt(), 1);
        TableStore alarms;
        QVERIFY(ReadCsvFile(csv, alarms));
        QCOMPARE(alarms.RecordCount(), o.value(QStringLiteral("rows")).toInt());
        QVERIFY(alarms.RecordCount() > 0);
        for (const QString &code : Column(alarms, QStringLiteral("iStatus")))
            QVERIFY(code.toInt() >= 40 && code.toInt() <= 50);
        QVERIFY(QFile(pdf).size() > 1000);

        // One card: its rows only, leading zeros or not.
        TableStore all;
        QVERIFY(RecordFile::Load(all, xml));
        const QString card = Column(all, QStringLiteral("CardNO")).first();
        r = ctl({QStringLiteral("records"), QStringLiteral("report"), xml, QStringLiteral("--csv"),
                 csv, QStringLiteral("--card"), QString::number(card.toInt())});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(ReadCsvFile(csv, alarms));
        QVERIFY(alarms.RecordCount() >= 1);
        QCOMPARE(Column(alarms, QStringLiteral("CardNO")).first(), card);

        // Bad arguments are told apart from failures.
        for (const QStringList &bad :
             {QStringList{QStringLiteral("records"), QStringLiteral("report"), xml},
              {QStringLiteral("records"), QStringLiteral("report"), xml, QStringLiteral("--pdf"),
               pdf, QStringLiteral("--lang"), QStringLiteral("fr")},
              {QStringLiteral("records"), QStringLiteral("report"), xml, QStringLiteral("--pdf"),
               pdf, QStringLiteral("--since"), QStringLiteral("yesterday")},
              {QStringLiteral("records"), QStringLiteral("report"), xml, QStringLiteral("--pdf"),
               pdf, QStringLiteral("--code"), QStringLiteral("alarms")},
              {QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("read"),
               QStringLiteral("--limit"), QStringLiteral("many")},
              {QStringLiteral("records"), QStringLiteral("read")},
              {QStringLiteral("--tcp"), tcp_, QStringLiteral("records"), QStringLiteral("erase")}})
            QCOMPARE(ctl(bad).exitCode, 2);
        r = ctl({QStringLiteral("records"), QStringLiteral("report"),
                 dir_->filePath(QStringLiteral("missing.xml")), QStringLiteral("--pdf"), pdf});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("missing.xml"));
    }

    // A journal line that cannot be read is named on every read, fails it (it may be an event in
    // no file), and stays when the events read are saved and the journal is cleared.
    void damagedJournalLineIsNamedAndKept()
    {
        QVERIFY(QDir().mkpath(journalDir_));
        QFile journal(
            QDir(journalDir_).filePath(QStringLiteral("KT480NTV5-events-12345678.journal")));
        QVERIFY(journal.open(QIODevice::WriteOnly));
        const QByteArray damaged = "{\"pointer\":\"0000001\",\"row\":7}";
        journal.write(damaged + '\n');
        journal.close();
        const QString xml = dir_->filePath(QStringLiteral("two.xml"));
        for (int run = 0; run < 2; ++run) {
            const Run r =
                ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"),
                     QStringLiteral("records"), QStringLiteral("read"), QStringLiteral("--limit"),
                     QStringLiteral("2"), QStringLiteral("--out"), xml});
            QCOMPARE(r.exitCode, 1);
            const QJsonObject o = QJsonDocument::fromJson(r.out).object();
            QCOMPARE(o.value(QStringLiteral("ok")).toBool(), false);
            QCOMPARE(o.value(QStringLiteral("complete")).toBool(), true);
            QCOMPARE(o.value(QStringLiteral("unreadableJournalLines")).toArray(), QJsonArray{1});
            QCOMPARE(o.value(QStringLiteral("recovered")).toInt(), 0);
            QVERIFY2(r.err.contains("cannot be read as an event (line 1)"), r.err.constData());
            QVERIFY(journal.open(QIODevice::ReadOnly));
            QVERIFY(journal.readAll().startsWith(damaged + '\n'));
            journal.close();
        }
    }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KT480_JOURNAL_DIR"), journalDir_);
        return env;
    }

    int journalLines() const
    {
        QFile file(QDir(journalDir_).filePath(QStringLiteral("KT480NTV5-events-12345678.journal")));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        return int(file.readAll().count('\n'));
    }

    Run ctl(const QStringList &arguments, const QProcessEnvironment &env = {}) const
    {
        return RunCtl(arguments, env.isEmpty() ? environment() : env);
    }

    QList<QByteArray> events_;
    std::unique_ptr<SimulatorHost> sim_;
    QString tcp_;
    std::unique_ptr<QTemporaryDir> dir_;
    QString journalDir_;
};

QTEST_GUILESS_MAIN(TestRecordsCli)
#include "test_records_cli.moc"
