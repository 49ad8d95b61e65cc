// kt480ctl's desk reader, SD card and backup range as a script uses them: a real process
// against the simulator.
#include "CardFile.h"
#include "CardTable.h"
#include "CtlRun.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QStringList DataNumbers(const QString &path)
{
    TableStore table;
    if (!CardFile::Load(table, path))
        return {};
    QStringList numbers;
    for (int row = 0; row < table.RecordCount(); ++row)
        numbers << CardTable::RowAt(table, row).DataNO;
    return numbers;
}

} // namespace

class TestReaderSdCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.reader = true;
        ControllerData data = ControllerData::factory(1);
        data.cards = GeneratedCards(8);
        data.sd.total = 20;
        data.sd.countsPerSecond = 20;
        config.controllers = {data};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
        QVERIFY(dir_.isValid());
    }

    // Without --port the reader is searched for; each card is a line (an object with --json);
    // a code of eight characters is no card.
    void readerWatchPrintsEachCard()
    {
        QProcess p;
        startWithReader(p,
                        {QStringLiteral("reader"), QStringLiteral("watch"),
                         QStringLiteral("--count"), QStringLiteral("2")},
                        true);
        QVERIFY(waitForReader(p));
        sim_->presentCard("0012345678");
        sim_->presentCard("87654321");
        sim_->presentCard("1111111111");
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("0000000012345678\n0000001111111111\n"));

        QProcess json;
        startWithReader(json,
                        {QStringLiteral("--json"), QStringLiteral("reader"),
                         QStringLiteral("watch"), QStringLiteral("--port"), sim_->readerPath(),
                         QStringLiteral("--count"), QStringLiteral("1")},
                        false);
        QVERIFY(waitForReader(json));
        sim_->presentCard("0099887766");
        QVERIFY(json.waitForFinished(10000));
        QCOMPARE(json.exitCode(), 0);
        const QJsonObject o = QJsonDocument::fromJson(json.readAllStandardOutput()).object();
        QCOMPARE(o.value(QStringLiteral("cardId")).toString(), QStringLiteral("0000000099887766"));
    }

    // Cards go into the file with the next free numbers, a repeat is refused, and the file
    // is saved after every card.
    void readerEnrolAddsToACardFile()
    {
        const QString file = dir_.filePath(QStringLiteral("enrol.xml"));
        TableStore table;
        CardTable::Recreate(table);
        CardTable::Append(table, {QStringLiteral("0000001"), QStringLiteral("0000000000000001"),
                                  QStringLiteral("01"), QStringLiteral("0"), QStringLiteral("XXXX"),
                                  QStringLiteral("0")});
        CardTable::Append(table, {QStringLiteral("0000003"), QStringLiteral("0000000000000003"),
                                  QStringLiteral("01"), QStringLiteral("0"), QStringLiteral("XXXX"),
                                  QStringLiteral("0")});
        QVERIFY(CardFile::Save(table, file));

        QProcess p;
        startWithReader(p,
                        {QStringLiteral("reader"), QStringLiteral("enrol"), file,
                         QStringLiteral("--port"), sim_->readerPath(), QStringLiteral("--count"),
                         QStringLiteral("2"), QStringLiteral("--app"), QStringLiteral("5"),
                         QStringLiteral("--apb"), QStringLiteral("1"), QStringLiteral("--pin"),
                         QStringLiteral("12")},
                        false);
        QVERIFY(waitForReader(p));
        sim_->presentCard("0012345678");
        QVERIFY(QTest::qWaitFor([&] { return DataNumbers(file).size() == 3; }, 5000));
        sim_->presentCard("0000000003");
        sim_->presentCard("0012345678");
        sim_->presentCard("0055555555");
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray err = p.readAllStandardError();
        QCOMPARE(err.count("CardID Repeat!"), 2);
        QCOMPARE(p.readAllStandardOutput(), QByteArray("0000002 0000000012345678 05 0 12XX 1\n"
                                                       "0000004 0000000055555555 05 0 12XX 1\n"));
        QCOMPARE(DataNumbers(file),
                 QStringList({QStringLiteral("0000001"), QStringLiteral("0000003"),
                              QStringLiteral("0000002"), QStringLiteral("0000004")}));
    }

    void readerRefusesBadArgumentsAndFiles()
    {
        for (const QStringList &extra :
             {QStringList{QStringLiteral("--apb"), QStringLiteral("2")},
              QStringList{QStringLiteral("--app"), QStringLiteral("100")},
              QStringList{QStringLiteral("--pin"), QStringLiteral("12345")},
              QStringList{QStringLiteral("--pin"), QStringLiteral("1a")},
              QStringList{QStringLiteral("--count"), QStringLiteral("0")}}) {
            const Run r = ctl(QStringList{QStringLiteral("reader"), QStringLiteral("enrol"),
                                          dir_.filePath(QStringLiteral("x.xml")),
                                          QStringLiteral("--port"), sim_->readerPath()} +
                              extra);
            QCOMPARE(r.exitCode, 2);
        }
        QCOMPARE(ctl({QStringLiteral("reader"), QStringLiteral("listen")}).exitCode, 2);
        // Not a card file: left as it is, and nothing is looked for.
        const QString other = dir_.filePath(QStringLiteral("other.xml"));
        QFile f(other);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a data packet");
        f.close();
        const Run r = ctl({QStringLiteral("reader"), QStringLiteral("enrol"), other,
                           QStringLiteral("--port"), sim_->readerPath()});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(!r.err.contains("MELOK9 on"));
        QFile check(other);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray("not a data packet"));
        // No reader behind the port.
        const Run none = ctl({QStringLiteral("reader"), QStringLiteral("watch"),
                              QStringLiteral("--port"), QStringLiteral("/dev/kt480-no-port")});
        QCOMPARE(none.exitCode, 1);
        QVERIFY(none.err.contains("couldn't find MELOK9!"));
    }

    void sdStatusBackupAndBusy()
    {
        Run r =
            ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("sd"), QStringLiteral("status")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("Controller SD card: idle."));
        QVERIFY(r.out.contains("card: [128MB]"));

        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("sd"), QStringLiteral("backup"),
                 QStringLiteral("3")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("OK!\n"));
        QCOMPARE(sim_->controller().snapshot().sd.slot, 3);

        for (const QString &slot : {QStringLiteral("0"), QStringLiteral("11"), QStringLiteral("x")})
            QCOMPARE(ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("sd"),
                          QStringLiteral("restore"), slot})
                         .exitCode,
                     2);
        QCOMPARE(ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("sd")}).exitCode, 2);

        // A copy still running (one given up on, say): status shows it, a start is refused.
        sim_->controller().modify([](ControllerData &d) {
            d.sd.running = 1;
            d.sd.stallAt = 5;
            d.sd.startedAtMs = QDateTime::currentMSecsSinceEpoch() - 10000;
            return true;
        });
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("sd"),
                 QStringLiteral("status")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("state")).toString(), QStringLiteral("backup"));
        QCOMPARE(o.value(QStringLiteral("count")).toInt(), 5);
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("sd"), QStringLiteral("restore"),
                 QStringLiteral("1")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out, QByteArray("KT480NT System Busy [Backup...]!\nError!\n"));
        sim_->controller().modify([](ControllerData &d) {
            d.sd.running = 0;
            d.sd.stallAt = -1;
            return true;
        });
    }

    // The card numbers of --from and --to reach the backup's read as they are.
    void backupReadsTheRangeGiven()
    {
        const QString folder = dir_.filePath(QStringLiteral("backup"));
        const Run r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("backup"), folder,
                           QStringLiteral("--from"), QStringLiteral("3"), QStringLiteral("--to"),
                           QStringLiteral("5")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(DataNumbers(QDir(folder).filePath(CardFile::DefaultFileName)),
                 QStringList({QStringLiteral("0000003"), QStringLiteral("0000004"),
                              QStringLiteral("0000005")}));
    }

private:
    // Starts kt480ctl; with `mapped`, the reader is COM9 of the port map (searched first).
    void startWithReader(QProcess &p, const QStringList &arguments, bool mapped)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (mapped)
            env.insert(QStringLiteral("KT480_COM_MAP"), QStringLiteral("9=") + sim_->readerPath());
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KT480CTL_PATH), arguments);
        QVERIFY(p.waitForStarted());
    }

    static bool waitForReader(QProcess &p)
    {
        QByteArray err;
        p.setReadChannel(QProcess::StandardError);
        while (!err.contains("MELOK9 on") && p.waitForReadyRead(10000))
            err += p.readAllStandardError();
        return err.contains("MELOK9 on");
    }

    static Run ctl(const QStringList &arguments) { return RunCtl(arguments); }

    std::unique_ptr<SimulatorHost> sim_;
    QString tcp_;
    QTemporaryDir dir_;
};

QTEST_MAIN(TestReaderSdCli)
#include "test_reader_sd_cli.moc"
