// Automated runs never reach beyond loopback. With KT480_LOOPBACK_ONLY=1 every address
// outside 127.0.0.0/8 is refused before anything is sent; in the isolated CI run (a network
// namespace with only loopback up) nothing could leave even without that switch.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Outside = QStringLiteral("192.0.2.1"); // TEST-NET-1: never a real controller

struct Run
{
    int exitCode = -1;
    QString err;
    qint64 elapsedMs = 0;
};

Run Ctl(const QStringList &arguments, bool loopbackOnly, const QString &tracePath = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KT480_LOOPBACK_ONLY"), loopbackOnly ? "1" : "0");
    // A sanitizer build's leak check stops the program with ptrace, which a traced program
    // cannot: it is left out while strace follows.
    if (!tracePath.isEmpty())
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":detect_leaks=0"));
    p.setProcessEnvironment(env);
    if (tracePath.isEmpty()) {
        p.start(QStringLiteral(KT480CTL_PATH), arguments);
    } else {
        // Every socket call the program makes, with its address.
        p.start(QStringLiteral("strace"),
                QStringList{QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-e"),
                            QStringLiteral("trace=socket,connect,sendto,sendmsg"),
                            QStringLiteral("-o"), tracePath, QStringLiteral(KT480CTL_PATH)} +
                    arguments);
    }
    Run r;
    QElapsedTimer clock;
    clock.start();
    const bool finished = p.waitForFinished(30000);
    r.elapsedMs = clock.elapsed();
    if (finished && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// strace can follow a program here (it may be missing, or tracing may be forbidden).
bool CanTrace()
{
    if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty())
        return false;
    QProcess p;
    p.start(QStringLiteral("strace"), {QStringLiteral("-qq"), QStringLiteral("-o"),
                                       QStringLiteral("/dev/null"), QStringLiteral("true")});
    return p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Only loopback interfaces are up.
bool OnlyLoopback()
{
    for (const QNetworkInterface &i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) &&
            !flags.testFlag(QNetworkInterface::IsLoopBack))
            return false;
    }
    return true;
}

} // namespace

class TestLoopbackOnly : public QObject
{
    Q_OBJECT

private slots:
    void outsideAddressIsRefusedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("tcp identify")
            << QStringList{QStringLiteral("--tcp"), Outside, QStringLiteral("identify")};
        QTest::newRow("tcp port 5001")
            << QStringList{QStringLiteral("--tcp"), Outside + QStringLiteral(":5001"),
                           QStringLiteral("exchange"), QStringLiteral("0001AS")};
        QTest::newRow("udp cards") << QStringList{QStringLiteral("--udp"), Outside,
                                                  QStringLiteral("cards"), QStringLiteral("read")};
        QTest::newRow("default address")
            << QStringList{QStringLiteral("--tcp"), QStringLiteral("192.168.1.101"),
                           QStringLiteral("backup"), QStringLiteral("/nonexistent")};
        QTest::newRow("network search") << QStringList{
            QStringLiteral("search"),  QStringLiteral("tcp"),     QStringLiteral("--net"),
            QStringLiteral("192.0.2"), QStringLiteral("--range"), QStringLiteral("1-3")};
    }

    void outsideAddressIsRefusedBeforeAnythingIsSent()
    {
        QFETCH(QStringList, arguments);
        const QTemporaryDir dir;
        const bool trace = CanTrace();
        const QString tracePath = trace ? dir.filePath(QStringLiteral("trace")) : QString();
        const Run r = Ctl(arguments, true, tracePath);
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(QStringLiteral("refused, nothing was sent")), qPrintable(r.err));
        if (!trace)
            QSKIP("strace cannot follow programs here: the refusal is checked, the silence not");
        QFile file(tracePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray calls = file.readAll();
        // Not even a socket for the Internet was made; the program's only sockets are local
        // ones of the platform (D-Bus and the like).
        QVERIFY2(!calls.contains("192.0.2") && !calls.contains("192.168.1.101"), calls.constData());
        QVERIFY2(!calls.contains("socket(AF_INET") && !calls.contains("socket(AF_INET6"),
                 calls.constData());
    }

    // The CI run (KT480_ISOLATE=1) is in a network namespace with only loopback up: even a
    // program with the switch off cannot reach another address there.
    void isolatedRunHasOnlyLoopback()
    {
        const bool isolatedRun = qEnvironmentVariableIntValue("KT480_ISOLATE") == 1;
        if (!OnlyLoopback()) {
            if (isolatedRun)
                QFAIL("KT480_ISOLATE=1, but interfaces other than loopback are up");
            QSKIP("not in the isolated run: other addresses are not tried from here");
        }
        const Run r = Ctl({QStringLiteral("--tcp"), Outside + QStringLiteral(":5001"),
                           QStringLiteral("identify")},
                          false);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("cannot connect to 192.0.2.1:5001")),
                 qPrintable(r.err));
        // Refused by the network itself, at once: there is no route to anywhere but loopback.
        QVERIFY2(r.err.contains(QStringLiteral("unreachable"), Qt::CaseInsensitive),
                 qPrintable(r.err));
        QVERIFY2(r.elapsedMs < 3000, qPrintable(QString::number(r.elapsedMs)));
    }
};

QTEST_GUILESS_MAIN(TestLoopbackOnly)
#include "test_loopback_only.moc"
