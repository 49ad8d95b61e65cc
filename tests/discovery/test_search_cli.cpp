// kt480ctl search as a script uses it: real processes against simulated controllers on
// loopback addresses and on a pseudo-terminal.
#include "../cli/CtlRun.h"
#include "SearchSites.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

Run Ctl(const QStringList &arguments, const QByteArray &comMap = {})
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KT480_LOOPBACK_ONLY"), QStringLiteral("1"));
    if (!comMap.isEmpty())
        env.insert(QStringLiteral("KT480_COM_MAP"), QString::fromLocal8Bit(comMap));
    return RunCtl(arguments, env);
}

QStringList Addresses(const QByteArray &json)
{
    QStringList list;
    for (const QJsonValue &v : QJsonDocument::fromJson(json).array())
        list << v.toObject().value(QStringLiteral("address")).toString();
    return list;
}

} // namespace

class TestSearchCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        FaultSettings refused;
        refused.addErrorCode(QStringLiteral("AS:C"));
        QVERIFY(sites_.start({81, 83, 85},
                             {LoopbackSites::answering(1), LoopbackSites::answering(1, refused),
                              LoopbackSites::answering(2)}));
        port_ = QString::number(sites_.port());
    }

    void tcpFindsTheFirstOrEveryController()
    {
        const QStringList range{QStringLiteral("search"),  QStringLiteral("tcp"),
                                QStringLiteral("--net"),   QStringLiteral("127.0.0"),
                                QStringLiteral("--range"), QStringLiteral("80-86"),
                                QStringLiteral("--port"),  port_,
                                QStringLiteral("--ids"),   QStringLiteral("1-2"),
                                QStringLiteral("--json")};
        Run r = Ctl(range + QStringList{QStringLiteral("--all")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(Addresses(r.out),
                 (QStringList{QStringLiteral("127.0.0.81"), QStringLiteral("127.0.0.85")}));
        const QJsonObject second = QJsonDocument::fromJson(r.out).array().at(1).toObject();
        QCOMPARE(second.value(QStringLiteral("transport")).toString(), QStringLiteral("tcp"));
        QCOMPARE(second.value(QStringLiteral("deviceId")).toString(), QStringLiteral("0002"));
        QCOMPARE(second.value(QStringLiteral("portNumber")).toInt(), sites_.port());
        QCOMPARE(second.value(QStringLiteral("serialNumber")).toString(),
                 QStringLiteral("12345678"));
        QCOMPARE(second.value(QStringLiteral("version")).toString(),
                 QStringLiteral("KT480NT-V5.04"));

        r = Ctl(range);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(Addresses(r.out).size(), 1);

        QStringList csv = range;
        csv.replace(csv.indexOf(QStringLiteral("--json")), QStringLiteral("--csv"));
        r = Ctl(csv + QStringList{QStringLiteral("--all")});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.first().startsWith("transport,port,address,portNumber,lineSettings"));
        QVERIFY(lines.at(1).startsWith("tcp,,127.0.0.81,"));
    }

    void tcpNothingFoundIsExitOne()
    {
        const Run r =
            Ctl({QStringLiteral("search"), QStringLiteral("tcp"), QStringLiteral("--net"),
                 QStringLiteral("127.0.0"), QStringLiteral("--range"), QStringLiteral("82-84"),
                 QStringLiteral("--port"), port_, QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(r.out.trimmed(), QByteArray("[]"));
    }

    void badArgumentsAreExitTwo()
    {
        const QStringList tcp{QStringLiteral("search"), QStringLiteral("tcp")};
        QCOMPARE(Ctl(tcp + QStringList{QStringLiteral("--range"), QStringLiteral("1-2")}).exitCode,
                 2);
        QCOMPARE(Ctl(tcp + QStringList{QStringLiteral("--net"), QStringLiteral("127.0.0"),
                                       QStringLiteral("--range"), QStringLiteral("9-3")})
                     .exitCode,
                 2);
        QCOMPARE(Ctl(tcp + QStringList{QStringLiteral("--net"), QStringLiteral("127.0.0"),
                                       QStringLiteral("--range"), QStringLiteral("1-2"),
                                       QStringLiteral("--ids"), QStringLiteral("5-3")})
                     .exitCode,
                 2);
        QCOMPARE(Ctl({QStringLiteral("search"), QStringLiteral("serial"), QStringLiteral("--line"),
                      QStringLiteral("fast")})
                     .exitCode,
                 2);
        QCOMPARE(Ctl({QStringLiteral("search"), QStringLiteral("usb")}).exitCode, 2);
    }

    // Outside loopback the search and every verb with a host refuse before anything is sent.
    void loopbackOnlyRefusesOtherAddresses()
    {
        const QStringList search{QStringLiteral("search"),  QStringLiteral("tcp"),
                                 QStringLiteral("--net"),   QStringLiteral("192.168.1"),
                                 QStringLiteral("--range"), QStringLiteral("101-101")};
        Run r = Ctl(search);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("192.168.1.101 is outside 127.0.0.0/8"));
        QVERIFY(r.out.isEmpty());
        r = Ctl(
            {QStringLiteral("--tcp"), QStringLiteral("192.168.1.101"), QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 2);
        QVERIFY(r.err.contains("refused"));
        r = Ctl(
            {QStringLiteral("--udp"), QStringLiteral("192.168.1.101"), QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 2);

        // Where the system can trace the process, it shows no socket reaching out at all.
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty())
            return;
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace"));
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KT480_LOOPBACK_ONLY"), QStringLiteral("1"));
        p.setProcessEnvironment(env);
        p.start(strace, QStringList{QStringLiteral("-f"), QStringLiteral("-e"),
                                    QStringLiteral("trace=connect,sendto,sendmsg"),
                                    QStringLiteral("-o"), trace, QStringLiteral(KT480CTL_PATH)} +
                            search);
        QVERIFY(p.waitForFinished(30000));
        QFile file(trace);
        if (p.exitCode() != 2 || !file.open(QIODevice::ReadOnly))
            return; // tracing is not permitted here
        const QByteArray calls = file.readAll();
        QVERIFY2(!calls.contains("192.168.1.101"), calls.constData());
        QVERIFY2(!calls.contains("AF_INET"), calls.constData());
    }

    void serialFindsTheControllerAndItsLine()
    {
        SerialLine line(9600, {Controller(3)});
        const QByteArray map = "3=" + line.path().toLocal8Bit();
        Run r = Ctl({QStringLiteral("search"), QStringLiteral("serial"), QStringLiteral("--port"),
                     QStringLiteral("COM3"), QStringLiteral("--line"), QStringLiteral("9600,e,8,1"),
                     QStringLiteral("--ids"), QStringLiteral("1-4"), QStringLiteral("--json")},
                    map);
        QCOMPARE(r.exitCode, 0);
        const QJsonObject hit = QJsonDocument::fromJson(r.out).array().at(0).toObject();
        QCOMPARE(hit.value(QStringLiteral("transport")).toString(), QStringLiteral("serial"));
        QCOMPARE(hit.value(QStringLiteral("port")).toString(), QStringLiteral("COM3"));
        QCOMPARE(hit.value(QStringLiteral("portNumber")).toInt(), 3);
        QCOMPARE(hit.value(QStringLiteral("lineSettings")).toString(),
                 QStringLiteral("9600,e,8,1"));
        QCOMPARE(hit.value(QStringLiteral("deviceId")).toString(), QStringLiteral("0003"));
        QCOMPARE(hit.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("12345678"));

        // A port that cannot be opened is named. (Searched beside a port with a controller it
        // may not be tried at all: the first port in order with a controller decides.)
        r = Ctl({QStringLiteral("search"), QStringLiteral("serial"), QStringLiteral("--port"),
                 QStringLiteral("/nonexistent/tty"), QStringLiteral("--line"),
                 QStringLiteral("9600,e,8,1")},
                map);
        QVERIFY(r.err.contains("/nonexistent/tty: cannot be opened"));

        // At another speed the line is silent.
        r = Ctl({QStringLiteral("search"), QStringLiteral("serial"), QStringLiteral("--port"),
                 QStringLiteral("COM3"), QStringLiteral("--line"), QStringLiteral("19200,e,8,1"),
                 QStringLiteral("--ids"), QStringLiteral("1-1"), QStringLiteral("--thorough")},
                map);
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(OpenDescriptors(line.path()), 1);
    }

    // One line named twice, by its COM number and by its path: found there, and not also
    // reported as a port that cannot be opened.
    void serialPortNamedTwiceIsSearchedOnce()
    {
        SerialLine line(9600, {Controller(3)});
        const QByteArray map = "3=" + line.path().toLocal8Bit();
        const Run r =
            Ctl({QStringLiteral("search"), QStringLiteral("serial"), QStringLiteral("--port"),
                 QStringLiteral("COM3"), QStringLiteral("--port"), line.path(),
                 QStringLiteral("--line"), QStringLiteral("9600,e,8,1"), QStringLiteral("--ids"),
                 QStringLiteral("3")},
                map);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith("serial COM3 9600,e,8,1  Device ID 0003"), r.out.constData());
        QVERIFY2(!r.err.contains("cannot be opened"), r.err.constData());
    }

    // Searched for IDs 1-2, the controller on the line answers the broadcast as 0005: no
    // success, but it is named, in the text and in the JSON.
    void serialControllerOutsideTheRangeIsNamed()
    {
        SerialLine line(9600, {Controller(5)});
        const QByteArray map = "3=" + line.path().toLocal8Bit();
        const QStringList search{QStringLiteral("search"), QStringLiteral("serial"),
                                 QStringLiteral("--port"), QStringLiteral("COM3"),
                                 QStringLiteral("--line"), QStringLiteral("9600,e,8,1"),
                                 QStringLiteral("--ids"),  QStringLiteral("1-2")};
        Run r = Ctl(search, map);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains("no controller found\noutside the Device IDs searched (--ids): "
                                "serial COM3 9600,e,8,1  Device ID 0005  S/N 12345678"),
                 r.err.constData());
        QVERIFY(r.out.isEmpty());

        r = Ctl(search + QStringList{QStringLiteral("--json")}, map);
        QCOMPARE(r.exitCode, 1);
        const QJsonArray found = QJsonDocument::fromJson(r.out).array();
        QCOMPARE(found.size(), 1);
        const QJsonObject outside = found.at(0).toObject();
        QCOMPARE(outside.value(QStringLiteral("deviceId")).toString(), QStringLiteral("0005"));
        QCOMPARE(outside.value(QStringLiteral("port")).toString(), QStringLiteral("COM3"));
        QCOMPARE(outside.value(QStringLiteral("outsideRange")).toBool(), true);
    }

private:
    LoopbackSites sites_;
    QString port_;
};

QTEST_GUILESS_MAIN(TestSearchCli)
#include "test_search_cli.moc"
