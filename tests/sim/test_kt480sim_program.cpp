#include "Comm.h"
#include "ControllerJson.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Endpoints
{
    quint16 tcpPort = 0;
    QString serial;
    QString reader;
    QString control;
};

// Reads the program's endpoint lines: one per endpoint it was asked for.
Endpoints ReadEndpoints(QProcess &process, int lines)
{
    Endpoints e;
    QByteArray out;
    while (out.count('\n') < lines && process.waitForReadyRead(5000))
        out += process.readAllStandardOutput();
    static const QRegularExpression tcp(QStringLiteral("^tcp 127\\.0\\.0\\.1:(\\d+)$"));
    for (const QString &line : QString::fromLatin1(out).split(QLatin1Char('\n'))) {
        if (const auto m = tcp.match(line); m.hasMatch())
            e.tcpPort = static_cast<quint16>(m.captured(1).toUInt());
        else if (line.startsWith(QLatin1String("serial /dev/")))
            e.serial = line.mid(7);
        else if (line.startsWith(QLatin1String("reader /dev/")))
            e.reader = line.mid(7);
        else if (line.startsWith(QLatin1String("control ")))
            e.control = line.mid(8);
    }
    return e;
}

} // namespace

// The kt480sim program as a user starts it: its endpoint lines, the stdin card command,
// the state file saved on SIGTERM and loaded on the next start.
class TestKt480simProgram : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;

    QString statePath() const { return dir_.filePath(QStringLiteral("state.json")); }

    void start(QProcess &process, const QStringList &extra = {})
    {
        process.start(QStringLiteral(KT480SIM_PATH),
                      QStringList{QStringLiteral("--tcp"), QStringLiteral("0"),
                                  QStringLiteral("--state"), statePath()} +
                          extra);
        QVERIFY(process.waitForStarted());
    }

    void stop(QProcess &process)
    {
        process.terminate();
        QVERIFY(process.waitForFinished(5000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
    }

private slots:
    void servesSavesAndReloads()
    {
        QVERIFY(dir_.isValid());
        QProcess sim;
        start(sim, {QStringLiteral("--pty"), QStringLiteral("--reader"), QStringLiteral("--id"),
                    QStringLiteral("1,3"), QStringLiteral("--serial-number"),
                    QStringLiteral("00001000"), QStringLiteral("--cards"), QStringLiteral("5")});
        const Endpoints e = ReadEndpoints(sim, 3);
        QVERIFY(e.tcpPort != 0);
        QVERIFY(!e.serial.isEmpty());
        QVERIFY(!e.reader.isEmpty());

        Comm comm;
        QSignalSpy connected(&comm, &Comm::tcpConnected);
        QVERIFY(comm.CommOpenTcp(QStringLiteral("127.0.0.1"), e.tcpPort));
        QVERIFY(connected.wait(3000));
        QCOMPARE(comm.CommExchange(QStringLiteral("0003AS"), 6), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("00001001"));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001HB0005"), 6), 1);
        QCOMPARE(comm.ReplyLength(), 24);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AF13077"), 8), 1);

        // The reader line takes the settings the utility always uses for it.
        QVERIFY(comm.ReaderOpenDevice(e.reader, QStringLiteral("19200,e,8,1")));
        sim.write("card 0099887766\n");
        QString card;
        for (int i = 0; i < 40 && card.isEmpty(); ++i) {
            QCOMPARE(comm.ReaderExchange(QStringLiteral("A00F"), 4), 1);
            card = comm.ReaderReplyText();
            if (card.isEmpty())
                QTest::qWait(25);
        }
        QCOMPARE(card, QStringLiteral("0099887766"));
        comm.CommClose();
        comm.ReaderClose();
        stop(sim);

        const auto saved = LoadControllersFile(statePath());
        QVERIFY(saved.has_value());
        QCOMPARE(saved->size(), 2);
        QCOMPARE(saved->at(0).parameters.value("AF13"), QByteArray("077"));
        QCOMPARE(saved->at(1).deviceId, 3);

        QProcess again;
        start(again);
        const Endpoints e2 = ReadEndpoints(again, 1);
        QVERIFY(e2.tcpPort != 0);
        QVERIFY(comm.CommOpenTcp(QStringLiteral("127.0.0.1"), e2.tcpPort));
        QVERIFY(connected.wait(3000));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AF13"), 6), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("077"));
        QCOMPARE(comm.CommExchange(QStringLiteral("0003AS"), 6), 1);
        comm.CommClose();
        stop(again);
    }

    // A person at another terminal presents cards through the control FIFO while the
    // utility polls a reader of the family the command line chose.
    void controlFifoPresentsCardsToTheChosenFamily()
    {
        const QString fifo = dir_.filePath(QStringLiteral("control"));
        QProcess sim;
        sim.start(QStringLiteral(KT480SIM_PATH),
                  {QStringLiteral("--reader"), QStringLiteral("--reader-family"),
                   QStringLiteral("h"), QStringLiteral("--control"), fifo});
        QVERIFY(sim.waitForStarted());
        const Endpoints e = ReadEndpoints(sim, 2);
        QCOMPARE(e.control, fifo);
        Comm comm;
        QVERIFY(comm.ReaderOpenDevice(e.reader, QStringLiteral("19200,e,8,1")));
        QCOMPARE(comm.ReaderExchange(QStringLiteral("H00B"), 4), 1);
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00B"), 4), 2);
        for (const QByteArray &line : {QByteArray("card 0012345678\n"), QByteArray("card 99\n")}) {
            QFile control(fifo);
            QVERIFY(control.open(QIODevice::WriteOnly));
            control.write(line);
        }
        QStringList cards;
        for (int i = 0; i < 40 && cards.size() < 2; ++i) {
            QCOMPARE(comm.ReaderExchange(QStringLiteral("H00F"), 4), 1);
            if (comm.ReaderReplyLength() > 0)
                cards << comm.ReaderReplyText();
            else
                QTest::qWait(25);
        }
        QCOMPARE(cards, QStringList({QStringLiteral("0012345678"), QStringLiteral("99")}));
        comm.ReaderClose();
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(fifo));
    }

    // Every help option the help lists shows the help.
    void everyHelpOptionListedShowsTheHelp()
    {
        QProcess sim;
        sim.start(QStringLiteral(KT480SIM_PATH), {QStringLiteral("--help")});
        QVERIFY(sim.waitForFinished(5000));
        QCOMPARE(sim.exitCode(), 0);
        const QString help = QString::fromUtf8(sim.readAllStandardOutput());
        static const QRegularExpression helpOption(
            QStringLiteral("(?:^|\\s)(-h|--help[a-z-]*)\\b"));
        QStringList listed;
        for (auto it = helpOption.globalMatch(help); it.hasNext();)
            listed << it.next().captured(1);
        QVERIFY2(listed.contains(QStringLiteral("--help")), qPrintable(help));
        for (const QString &option : listed) {
            QProcess asked;
            asked.start(QStringLiteral(KT480SIM_PATH), {option});
            QVERIFY(asked.waitForFinished(5000));
            QVERIFY2(asked.exitCode() == 0,
                     qPrintable(option + u' ' + asked.readAllStandardError()));
            QCOMPARE(QString::fromUtf8(asked.readAllStandardOutput()), help);
        }
    }

    void refusesBadCommandLines()
    {
        for (const QStringList &args :
             {QStringList{}, QStringList{QStringLiteral("--tcp"), QStringLiteral("x")},
              QStringList{QStringLiteral("--pty"), QStringLiteral("--drop"), QStringLiteral("2")},
              QStringList{QStringLiteral("--pty"), QStringLiteral("--error-code"),
                          QStringLiteral("AS")},
              QStringList{QStringLiteral("--pty"), QStringLiteral("--id"), QStringLiteral("0")},
              QStringList{QStringLiteral("--reader"), QStringLiteral("--reader-family"),
                          QStringLiteral("B")},
              QStringList{QStringLiteral("--pty"), QStringLiteral("--sd-total"),
                          QStringLiteral("10000")},
              QStringList{QStringLiteral("--pty"), QStringLiteral("--sd-rate"),
                          QStringLiteral("0")},
              QStringList{QStringLiteral("--pty"), QStringLiteral("--pace"),
                          QStringLiteral("8X1")}}) {
            QProcess sim;
            sim.start(QStringLiteral(KT480SIM_PATH), args);
            QVERIFY(sim.waitForFinished(5000));
            QCOMPARE(sim.exitCode(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(TestKt480simProgram)
#include "test_kt480sim_program.moc"
