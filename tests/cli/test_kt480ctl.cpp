#include "CtlRun.h"
#include "PermissionAdvice.h"
#include "SimulatorHost.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <fcntl.h>
#include <memory>
#include <pty.h>
#include <unistd.h>

Q_DECLARE_METATYPE(FaultSettings)

// The command-line client as a script uses it: a real process against the simulator.
class TestKt480ctl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        ControllerData data = ControllerData::factory(12);
        data.cards = GeneratedCards(8);
        config.controllers = {data};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
        QVERIFY(dir_.isValid());
    }

    void exchangeExitCodes()
    {
        Run r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("exchange"), QStringLiteral("0012AS")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(), QByteArray("01[0012AS] 12345678(8)"));
        r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("exchange"), QStringLiteral("0012ZZ")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.startsWith("21[0012ZZ]"));
        r = ctl({QStringLiteral("exchange"), QStringLiteral("0012AS")});
        QCOMPARE(r.exitCode, 2);
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("nonsense")});
        QCOMPARE(r.exitCode, 2);
    }

    void identifyFindsTheDeviceId()
    {
        const Run r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("deviceId")).toString(), QStringLiteral("0012"));
        QCOMPARE(o.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("12345678"));
        QCOMPARE(o.value(QStringLiteral("sdCard")).toString(), QStringLiteral("[128MB]"));
    }

    void cardsThroughAFileAndBack()
    {
        const QString file = dir_.filePath(QStringLiteral("cards.xml"));
        const QString csv = dir_.filePath(QStringLiteral("cards.csv"));
        Run r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                     QStringLiteral("cards"), QStringLiteral("read"), QStringLiteral("--to"),
                     QStringLiteral("20"), QStringLiteral("--out"), file});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("cards found: 8"));
        r = ctl({QStringLiteral("--json"), QStringLiteral("file"), QStringLiteral("convert"), file,
                 csv});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json().value(QStringLiteral("rows")).toInt(), 8);

        // A spreadsheet edit that breaks a card number: nothing is sent, nothing deleted.
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray text = f.readAll().replace("0000003,", "3x,");
        f.resize(0);
        f.write(text);
        f.close();
        const QString broken = dir_.filePath(QStringLiteral("broken.xml"));
        QCOMPARE(ctl({QStringLiteral("file"), QStringLiteral("convert"), csv, broken}).exitCode, 0);
        const auto before = sim_->controller().snapshot().cards;
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                 QStringLiteral("cards"), QStringLiteral("write"), broken,
                 QStringLiteral("--clear-all")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.contains("nothing was sent"));
        QCOMPARE(sim_->controller().snapshot().cards, before);

        // Every card deleted, then one refused: the output says that the controller now holds
        // only what was written, not only which card failed. Written again, all are back.
        FaultSettings refuseThird;
        refuseThird.errorCodes.insert("HA0000003", 'B');
        sim_->setFaults(refuseThird);
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                 QStringLiteral("cards"), QStringLiteral("write"), file,
                 QStringLiteral("--clear-all")});
        sim_->clearFaults();
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("not accepted: 3"), r.out.constData());
        QVERIFY2(r.out.contains("every card in the controller was deleted first; it now holds "
                                "only the 7 cards written since"),
                 r.out.constData());
        QCOMPARE(sim_->controller().snapshot().cards.size(), before.size() - 1);
        QCOMPARE(ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                      QStringLiteral("cards"), QStringLiteral("write"), file})
                     .exitCode,
                 0);
        QCOMPARE(sim_->controller().snapshot().cards, before);
    }

    // --out holds what the read found, also when that is no card at all; a read whose link
    // never opened leaves the file as it was.
    void cardsReadOfARangeWithoutCardsReplacesTheFile()
    {
        const QString file = dir_.filePath(QStringLiteral("range.xml"));
        const QStringList read{QStringLiteral("--tcp"), tcp_,
                               QStringLiteral("--id"),  QStringLiteral("12"),
                               QStringLiteral("cards"), QStringLiteral("read"),
                               QStringLiteral("--out"), file};
        QCOMPARE(ctl(read + QStringList{QStringLiteral("--to"), QStringLiteral("20")}).exitCode, 0);
        QCOMPARE(
            ctl({QStringLiteral("--json"), QStringLiteral("file"), QStringLiteral("show"), file})
                .json()
                .value(QStringLiteral("rows"))
                .toArray()
                .size(),
            8);
        const QString earlier = dir_.filePath(QStringLiteral("earlier.xml"));
        QVERIFY(QFile::copy(file, earlier));
        Run r = ctl(read + QStringList{QStringLiteral("--from"), QStringLiteral("100"),
                                       QStringLiteral("--to"), QStringLiteral("104")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("cards found: 0"));
        r = ctl({QStringLiteral("--json"), QStringLiteral("file"), QStringLiteral("show"), file});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.json().value(QStringLiteral("rows")).toArray().isEmpty(), r.out.constData());

        // Written back, the empty list sends nothing: done, unless every card was to be
        // deleted first, which it does not do.
        const auto held = sim_->controller().snapshot().cards;
        const QStringList write{QStringLiteral("--tcp"),
                                tcp_,
                                QStringLiteral("--id"),
                                QStringLiteral("12"),
                                QStringLiteral("cards"),
                                QStringLiteral("write"),
                                file};
        r = ctl(write);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("the file holds no cards: nothing was sent"));
        r = ctl(write + QStringList{QStringLiteral("--clear-all")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.contains("nothing was deleted or sent"));
        QCOMPARE(sim_->controller().snapshot().cards, held);

        QFile::remove(file);
        QVERIFY(QFile::copy(earlier, file));
        const auto contents = [](const QString &path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray before = contents(file);
        QStringList unreachable = read;
        unreachable[1] = QStringLiteral("127.0.0.1:1");
        QCOMPARE(ctl(unreachable).exitCode, 1);
        QCOMPARE(contents(file), before);
    }

    // A clock set the controller refuses, or does not answer, is a failure; the controller's
    // clock stays as it was, and a silent controller costs one command, not thirty.
    // A read that misses a card never replaces an earlier file, which may be the only complete
    // list; where there was no file the partial list is saved. Either way the run fails.
    void incompleteCardReadKeepsTheEarlierFile()
    {
        const QString file = dir_.filePath(QStringLiteral("kept.xml"));
        const QStringList read{QStringLiteral("--json"),
                               QStringLiteral("--tcp"),
                               tcp_,
                               QStringLiteral("--id"),
                               QStringLiteral("12"),
                               QStringLiteral("cards"),
                               QStringLiteral("read"),
                               QStringLiteral("--to"),
                               QStringLiteral("20"),
                               QStringLiteral("--out"),
                               file};
        QCOMPARE(ctl(read).exitCode, 0);
        QFile complete(file);
        QVERIFY(complete.open(QIODevice::ReadOnly));
        const QByteArray earlier = complete.readAll();
        complete.close();

        FaultSettings refuseFifth;
        refuseFifth.errorCodes.insert("HB0005", 'B');
        sim_->setFaults(refuseFifth);
        Run r = ctl(read);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.json().value(QStringLiteral("saved")).toBool(), false);
        QVERIFY2(r.err.contains("the earlier file"), r.err.constData());
        QVERIFY(complete.open(QIODevice::ReadOnly));
        QCOMPARE(complete.readAll(), earlier);
        complete.close();

        QVERIFY(QFile::remove(file));
        r = ctl(read);
        sim_->clearFaults();
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.json().value(QStringLiteral("saved")).toBool(), true);
        QVERIFY(QFile::exists(file));
    }

    void clockSetReportsWhatTheControllerDid()
    {
        const QStringList set{QStringLiteral("--tcp"),  tcp_,
                              QStringLiteral("--id"),   QStringLiteral("12"),
                              QStringLiteral("--json"), QStringLiteral("clock"),
                              QStringLiteral("set"),    QStringLiteral("2001-02-03 04:05:06")};
        const qint64 before = sim_->controller().snapshot().clockOffsetMs;
        FaultSettings refused;
        refused.errorCodes.insert("AA", 'B');
        sim_->setFaults(refused);
        Run r = ctl(set);
        QCOMPARE(r.exitCode, 1);
        QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("ok")).toBool(true), false);
        QVERIFY(
            !o.value(QStringLiteral("deviceTime")).toString().startsWith(QLatin1String("2001")));
        QCOMPARE(sim_->controller().snapshot().clockOffsetMs, before);

        FaultSettings silent;
        silent.silentCodes.insert("AA");
        sim_->setFaults(silent);
        QElapsedTimer clock;
        clock.start();
        r = ctl(set);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(sim_->controller().snapshot().clockOffsetMs, before);

        sim_->clearFaults();
        r = ctl(set);
        QCOMPARE(r.exitCode, 0);
        o = QJsonDocument::fromJson(r.out).object();
        QVERIFY(o.value(QStringLiteral("ok")).toBool());
        QVERIFY(o.value(QStringLiteral("deviceTime"))
                    .toString()
                    .startsWith(QLatin1String("2001/02/03")));
    }

    // Numbers out of range or not numbers at all, and unknown parameter codes, are usage
    // errors, named on standard error; nothing is sent.
    void badNumbersAreUsageErrors_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        const QString tcp = QStringLiteral("127.0.0.1:1");
        auto cards = [tcp](const QStringList &options) {
            return QStringList{QStringLiteral("--tcp"), tcp, QStringLiteral("cards"),
                               QStringLiteral("read")} +
                   options;
        };
        QTest::newRow("to beyond int") << cards({"--to", "2147483647"}) << "--to";
        QTest::newRow("to beyond a card number") << cards({"--to", "10000000"}) << "--to";
        QTest::newRow("to not a number") << cards({"--to", "ten"}) << "--to";
        QTest::newRow("from negative") << cards({"--from", "-1"}) << "--from";
        QTest::newRow("from with a sign") << cards({"--from", "+5"}) << "--from";
        QTest::newRow("from overflowing") << cards({"--from", "99999999999999999999"}) << "--from";
        QTest::newRow("backup to")
            << QStringList{"--tcp", tcp, "backup", "/nonexistent", "--to", "2147483647"} << "--to";
        QTest::newRow("echo too long")
            << QStringList{"--tcp", tcp, "exchange", "0012AS", "--echo", "256"} << "--echo";
        QTest::newRow("echo not a number")
            << QStringList{"--tcp", tcp, "exchange", "0012AS", "--echo", "6x"} << "--echo";
        QTest::newRow("id too large")
            << QStringList{"--tcp", tcp, "--id", "10000", "identify"} << "--id";
        QTest::newRow("id not a number")
            << QStringList{"--tcp", tcp, "--id", "1e3", "identify"} << "--id";
        QTest::newRow("tcp port zero")
            << QStringList{"--tcp", "127.0.0.1:0", "identify"} << "--tcp";
        QTest::newRow("tcp port too large")
            << QStringList{"--tcp", "127.0.0.1:65536", "identify"} << "--tcp";
        QTest::newRow("udp port not a number")
            << QStringList{"--udp", "127.0.0.1:port", "identify"} << "--udp";
        QTest::newRow("local port too large")
            << QStringList{"--udp", "127.0.0.1:5001", "--local-port", "70000", "identify"}
            << "--local-port";
        QTest::newRow("line settings")
            << QStringList{"--serial", "/dev/null", "--line", "19200,q,8,1", "identify"}
            << "--line";
        QTest::newRow("parameter code to get")
            << QStringList{"--tcp", tcp, "params", "get", "AF01", "ZZ99"} << "ZZ99";
        QTest::newRow("COM number")
            << QStringList{"--serial", "COM99999999999", "identify"} << "--serial";
    }

    void badNumbersAreUsageErrors()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        const Run r = ctl(arguments);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(named.toUtf8()), r.err.constData());
        QVERIFY(r.out.isEmpty());
    }

    // A script that asks for JSON gets one object also when the verb stops before its result.
    void jsonNamesFailuresBeforeTheResult_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("named");
        QTest::newRow("no controller there")
            << QStringList{"--tcp", "127.0.0.1:1", "identify"} << 1 << "cannot connect";
        QTest::newRow("unknown option") << QStringList{"--bogus", "identify"} << 2 << "bogus";
        QTest::newRow("unknown verb") << QStringList{"nonsense"} << 2 << "unknown verb: nonsense";
        QTest::newRow("no link options") << QStringList{"identify"} << 2 << "--tcp";
        QTest::newRow("trace unwritable")
            << QStringList{"--trace", "/nonexistent/trace.txt", "--tcp", "127.0.0.1:1", "identify"}
            << 1 << "/nonexistent/trace.txt";
        QTest::newRow("site file missing")
            << QStringList{"fleet", "backup", "/nonexistent/site.csv", "/nonexistent/out"} << 2
            << "/nonexistent/site.csv";
    }

    void jsonNamesFailuresBeforeTheResult()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, named);
        const Run r = ctl(QStringList{QStringLiteral("--json")} + arguments);
        QCOMPARE(r.exitCode, exitCode);
        QJsonParseError error;
        const QJsonObject o = QJsonDocument::fromJson(r.out, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, r.out.constData());
        QCOMPARE(o.value(QStringLiteral("complete")).toBool(true), false);
        QCOMPARE(o.value(QStringLiteral("exitCode")).toInt(), exitCode);
        QVERIFY2(o.value(QStringLiteral("error")).toString().contains(named), r.out.constData());
        // The reason, not the help text that a person at a terminal gets with it.
        QVERIFY2(!o.value(QStringLiteral("error")).toString().contains(QStringLiteral("Usage:")),
                 r.out.constData());
        QVERIFY(r.err.contains(named.toUtf8()));
    }

    // A local UDP port another program holds is named with the reason, not only as a failure.
    void udpLocalPortInUseIsExplained()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress::AnyIPv4, 0));
        const QString taken = QString::number(holder.localPort());
        const Run r = ctl({QStringLiteral("--udp"), QStringLiteral("127.0.0.1:5001"),
                           QStringLiteral("--local-port"), taken, QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("UDP local port " + taken.toUtf8() + ": ") &&
                     r.err.contains("in use"),
                 r.err.constData());
    }

    // A trace that runs out of disk is warned about once and counted at the end, not a warning
    // for every line.
    void aTraceThatCannotBeWrittenIsNamedOnce()
    {
        if (!QFileInfo::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        const Run r =
            ctl({QStringLiteral("--trace"), QStringLiteral("/dev/full"), QStringLiteral("--tcp"),
                 tcp_, QStringLiteral("--id"), QStringLiteral("12"), QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err.count("trace file"), 1);
        QVERIFY2(r.err.contains("lines could not be written to /dev/full; the trace is not "
                                "complete"),
                 r.err.constData());
    }

    void unreadableFileIsNamed()
    {
        const QString missing = dir_.filePath(QStringLiteral("missing.xml"));
        const Run r = ctl({QStringLiteral("file"), QStringLiteral("show"), missing});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(missing.toUtf8()));
    }

    // The program's own debug messages show only with --verbose; the verb's report always.
    void verboseShowsTheProgramsOwnMessages()
    {
        const QStringList search{QStringLiteral("search"), QStringLiteral("serial"),
                                 QStringLiteral("--port"), QStringLiteral("/dev/nonexistent"),
                                 QStringLiteral("--line"), QStringLiteral("9600,e,8,1")};
        const Run quiet = ctl(search);
        const Run verbose = ctl(search + QStringList{QStringLiteral("--verbose")});
        QCOMPARE(quiet.exitCode, 1);
        QCOMPARE(verbose.exitCode, 1);
        QVERIFY(quiet.err.contains("/dev/nonexistent: cannot be opened"));
        QVERIFY(!quiet.err.contains("kt480.discovery"));
        QVERIFY2(verbose.err.contains("kt480.discovery"), verbose.err.constData());
    }

    // A controller whose answers are not quite right: the verb fails and says what it could
    // not tell, instead of showing what it got as data.
    void answersNotQuiteRightFailTheVerb_data()
    {
        QTest::addColumn<FaultSettings>("faults");
        QTest::addColumn<QStringList>("verb");
        QTest::addColumn<QString>("named");
        FaultSettings noDate;
        noDate.replacedData.insert("AB", "ABCDEFGHIJKLMN");
        QTest::newRow("a clock that is no date")
            << noDate << QStringList{"clock", "get"} << "clock could not be read";
        QTest::newRow("a clock that is no date after a set")
            << noDate << QStringList{"clock", "set", "--now"} << "clock could not be";
        FaultSettings noCount;
        noCount.replacedData.insert("ID", "X6");
        QTest::newRow("an event count that is no number")
            << noCount << QStringList{"records", "count"} << "did not answer the count";
        FaultSettings noCard;
        noCard.silentCodes = {QByteArray("AN")};
        QTest::newRow("the SD card never answered")
            << noCard << QStringList{"identify"} << "SD card: no answer";
        FaultSettings twoAtOnce;
        twoAtOnce.pairedShare = 1;
        QTest::newRow("two replies at once in identify")
            << twoAtOnce << QStringList{"identify"} << "no command was waiting for";
        QTest::newRow("two replies at once in sd status")
            << twoAtOnce << QStringList{"sd", "status"} << "no command was waiting for";
        FaultSettings noDelete;
        noDelete.silentCodes = {QByteArray("HK")};
        QTest::newRow("deleting all cards unanswered")
            << noDelete << QStringList{"cards", "clear-all"} << "is not known";
    }

    void answersNotQuiteRightFailTheVerb()
    {
        QFETCH(FaultSettings, faults);
        QFETCH(QStringList, verb);
        QFETCH(QString, named);
        sim_->setFaults(faults);
        const Run r = ctl(QStringList{QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"),
                                      QStringLiteral("auto")} +
                          verb);
        sim_->clearFaults();
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains(named.toUtf8()) || r.err.contains(named.toUtf8()),
                 (r.out + r.err).constData());
        QVERIFY2(!r.out.contains("//   ::"), r.out.constData());
    }

    // The controller answers the broadcast query with its own Device ID; identify says so when
    // that is not the one --id gave, since every other verb would then get no answer.
    void identifyNamesAnotherDeviceId()
    {
        Run r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains("the controller's Device ID is 0012, not 0001 (--id 1)") &&
                     r.err.contains("give --id 12"),
                 r.err.constData());
        r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("identify")});
        QCOMPARE(r.json().value(QStringLiteral("deviceIdAsked")).toString(),
                 QStringLiteral("0001"));
        QCOMPARE(r.json().value(QStringLiteral("deviceId")).toString(), QStringLiteral("0012"));
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                 QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(!r.err.contains("Device ID is"), r.err.constData());
    }

    // A serial port that cannot be opened is named with the reason a person can act on.
    void serialPortProblemsAreExplained()
    {
        const QString missing = dir_.filePath(QStringLiteral("ttyMISSING"));
        Run r = ctl({QStringLiteral("--serial"), missing, QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(missing.toUtf8() + " with 19200,e,8,1: no such device"),
                 r.err.constData());

        // A COM name is named with the device behind it.
        QProcessEnvironment mapped = QProcessEnvironment::systemEnvironment();
        mapped.insert(QStringLiteral("KT480_COM_MAP"), QStringLiteral("9=") + missing);
        r = RunCtl({QStringLiteral("--serial"), QStringLiteral("COM9"), QStringLiteral("identify")},
                   mapped);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("COM9 (" + missing.toUtf8() + ") with 19200,e,8,1: no such device"),
                 r.err.constData());

        // Held by another program, which locked it.
        SimulatorConfig config;
        config.serial = true;
        SimulatorHost line(config);
        QVERIFY(line.isRunning());
        QSerialPort holder(line.serialPath());
        QVERIFY(holder.open(QIODevice::ReadWrite));
        r = ctl({QStringLiteral("--serial"), line.serialPath(), QStringLiteral("--line"),
                 QStringLiteral("19200,n,8,1"), QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("locked by another program") || r.err.contains("busy:"),
                 r.err.constData());
        QVERIFY2(
            r.err.contains("process " + QByteArray::number(QCoreApplication::applicationPid())),
            r.err.constData());
        holder.close();

        if (::geteuid() == 0)
            QSKIP("running as root, for whom a device without permissions still opens: the "
                  "permission case is not tried");
        const QString closed = dir_.filePath(QStringLiteral("ttyCLOSED"));
        QVERIFY(WriteTextFile(closed, ""));
        QVERIFY(QFile::setPermissions(closed, {}));
        r = ctl({QStringLiteral("--serial"), closed, QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("permission denied") && r.err.contains("with mode 000"),
                 r.err.constData());
    }

    // A user refused a device is told to join its group only where that group may read and
    // write it and is one to join; otherwise who owns it and how, and who can grant access.
    void permissionAdviceNamesWhatGrantsAccess_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("group");
        QTest::addColumn<uint>("mode");
        QTest::addColumn<QString>("advice");
        const QString join = QStringLiteral("sudo adduser $USER %1  and log in again");
        const QString ask = QStringLiteral("belongs to the user %1 and the group %2 with mode %3, "
                                           "and no group a user should join may open it; a udev "
                                           "rule or the administrator must grant this user access");
        QTest::newRow("dialout") << "root"
                                 << "dialout" << 020660u << join.arg("dialout");
        QTest::newRow("uucp") << "root"
                              << "uucp" << 020660u << join.arg("uucp");
        QTest::newRow("root group") << "root"
                                    << "root" << 020600u << ask.arg("root", "root", "600");
        QTest::newRow("root group that may write")
            << "root"
            << "root" << 020660u << ask.arg("root", "root", "660");
        QTest::newRow("group that may not read")
            << "alice"
            << "tty" << 020620u << ask.arg("alice", "tty", "620");
        QTest::newRow("group without a name")
            << "root"
            << "1234" << 020660u << ask.arg("root", "1234", "660");
    }

    void permissionAdviceNamesWhatGrantsAccess()
    {
        QFETCH(QString, owner);
        QFETCH(QString, group);
        QFETCH(uint, mode);
        QFETCH(QString, advice);
        const QString text = PermissionAdvice(owner, group, mode);
        QVERIFY2(text.startsWith(QStringLiteral("permission denied: ")) && text.contains(advice),
                 qPrintable(text));
        QCOMPARE(text.contains(QStringLiteral("adduser")),
                 advice.contains(QStringLiteral("adduser")));
    }

    // An error that the program logged and the verb reports is printed once: the file named
    // (`named`, holding `content` when not empty) appears once in what the run says.
    void aFileErrorIsPrintedOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("exitCode");
        const QString missing = dir_.filePath(QStringLiteral("no-records.xml"));
        QTest::newRow("a record file that does not exist")
            << QStringList{QStringLiteral("records"), QStringLiteral("report"), missing,
                           QStringLiteral("--pdf"), dir_.filePath(QStringLiteral("r.pdf"))}
            << missing << QByteArray() << 1;
        // Read when the journal opens and again for the events it holds.
        QTest::newRow("a journal line that cannot be read")
            << QStringList{QStringLiteral("--tcp"),   tcp_,
                           QStringLiteral("--id"),    QStringLiteral("12"),
                           QStringLiteral("records"), QStringLiteral("read"),
                           QStringLiteral("--out"),   dir_.filePath(QStringLiteral("y.xml"))}
            << QDir(journalFolder()).filePath(QStringLiteral("KT480NTV5-events-12345678.journal"))
            << QByteArray("{\"pointer\":\"0000001\",\"row\":7}\n") << 1;
    }

    void aFileErrorIsPrintedOnce()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        QFETCH(QByteArray, content);
        QFETCH(int, exitCode);
        QVERIFY(content.isEmpty() ||
                (QDir().mkpath(QFileInfo(named).absolutePath()) && WriteTextFile(named, content)));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("KT480_JOURNAL_DIR"), journalFolder());
        const Run r = RunCtl(arguments, environment);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.count(named.toUtf8()) == 1, r.err.constData());
    }

    // Into a pipe the progress is a line at each tenth, in words; with --json none; on a terminal
    // one line written over.
    void progressInWords()
    {
        const QStringList read{QStringLiteral("--tcp"), tcp_,
                               QStringLiteral("--id"),  QStringLiteral("12"),
                               QStringLiteral("cards"), QStringLiteral("read"),
                               QStringLiteral("--to"),  QStringLiteral("100")};
        Run r = ctl(read);
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.err.trimmed().split('\n');
        QVERIFY2(lines.size() >= 5 && lines.size() <= 11, r.err.constData());
        QVERIFY2(lines.first().contains(": 0 of 100 (0%), 0 s so far"), r.err.constData());
        QVERIFY2(r.err.contains(": 50 of 100 (50%), "), r.err.constData());
        QVERIFY2(lines.last().contains(": 100 of 100 (100%), "), r.err.constData());
        QVERIFY(!r.err.contains('\r'));

        // Once two seconds are behind, a line also says about how long is left; late replies
        // make the read last that long.
        FaultSettings late;
        late.lateMs = 60;
        sim_->setFaults(late);
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                 QStringLiteral("cards"), QStringLiteral("read"), QStringLiteral("--to"),
                 QStringLiteral("50")});
        sim_->clearFaults();
        QCOMPARE(r.exitCode, 0);
        static const QRegularExpression estimate(
            QStringLiteral(": (\\d+) of 50 \\(\\d+%\\), \\d+ s so far, about \\d+ s left$"));
        const QList<QByteArray> slow = r.err.trimmed().split('\n');
        QVERIFY2(!slow.first().contains("left"), r.err.constData());
        qsizetype estimated = 0;
        for (const QByteArray &line : slow) {
            const QRegularExpressionMatch m = estimate.match(QString::fromUtf8(line));
            if (m.hasMatch()) {
                ++estimated;
                QVERIFY2(m.captured(1).toInt() > 0 && m.captured(1).toInt() < 50, line.constData());
            }
        }
        QVERIFY2(estimated > 0, r.err.constData());

        r = ctl(QStringList{QStringLiteral("--json")} + read);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), r.err.constData());
        QJsonParseError error;
        QJsonDocument::fromJson(r.out, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);

        int master = -1;
        int slave = -1;
        QVERIFY(::openpty(&master, &slave, nullptr, nullptr, nullptr) == 0);
        QProcess p;
        p.setStandardErrorFile(QString::fromLocal8Bit(::ttyname(slave)));
        p.start(QStringLiteral(KT480CTL_PATH), read);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        QByteArray shown;
        char buffer[4096];
        for (ssize_t n = 0; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, n);
        ::close(slave);
        ::close(master);
        QVERIFY2(shown.count('\r') > 10 && shown.contains(" of 100 (") && shown.count('\n') == 1,
                 shown.constData());
    }

    // A CSV with a header and no rows, or nothing at all, converts to a card file without rows,
    // which writes nothing, as every empty card file.
    void emptyCsvConvertsToAnEmptyCardFile_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::newRow("header only")
            << QByteArray("DataNO,DataID,DataApp,DataType,DataPIN,DataAPB\r\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("byte-order mark and a blank line") << QByteArray("\xEF\xBB\xBF\r\n");
    }

    void emptyCsvConvertsToAnEmptyCardFile()
    {
        QFETCH(QByteArray, csv);
        const QString in = dir_.filePath(QStringLiteral("empty.csv"));
        const QString out = dir_.filePath(QStringLiteral("empty.xml"));
        QFile::remove(out);
        QVERIFY(WriteTextFile(in, csv));
        Run r = ctl({QStringLiteral("file"), QStringLiteral("convert"), in, out});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                 QStringLiteral("cards"), QStringLiteral("write"), out});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("the file holds no cards: nothing was sent"), r.out.constData());
    }

private:
    static Run ctl(const QStringList &arguments) { return RunCtl(arguments); }
    QString journalFolder() const { return dir_.filePath(QStringLiteral("journal")); }

    std::unique_ptr<SimulatorHost> sim_;
    QString tcp_;
    QTemporaryDir dir_;
};

QTEST_MAIN(TestKt480ctl)
#include "test_kt480ctl.moc"
