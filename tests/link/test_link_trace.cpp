#include "Comm.h"
#include "Frame.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TraceBuffer.h"
#include "TraceFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The trace a site sends to support: every frame both ways in hex with a time, beside the
// diagnostic line of its exchange, in a file or in the window's bounded buffer.
class TestLinkTrace : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatorHost> sim_;

    static QStringList readLines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private slots:
    void initTestCase()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
    }

    void fileHoldsEveryFrameInHexBesideTheDiagnosticLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trace.txt"));
        Comm comm;
        TraceFile trace;
        QVERIFY(trace.open(path));
        trace.attach(comm, QStringLiteral("door-1"));
        QVERIFY(OpenSimLink(comm, *sim_));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), 6), int(Comm::Accepted));

        QStringList lines = readLines(path);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines.takeFirst().endsWith(QLatin1String(" door-1 link TCP connected")),
                 qPrintable(lines.join(QLatin1Char('\n'))));
        const QString stamp =
            QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} door-1 ");
        const QString sent = QString::fromLatin1(BuildRequestFrame("0001AS").toHex(' ').toUpper());
        QVERIFY2(QRegularExpression(stamp + QStringLiteral("tx ") +
                                    QRegularExpression::escape(sent) + QLatin1Char('$'))
                     .match(lines[0])
                     .hasMatch(),
                 qPrintable(lines[0]));
        // The reply: 0x03, "0001AS12345678", 0x04, four CRC digits, 0x0D.
        QVERIFY2(QRegularExpression(stamp + QStringLiteral("rx 03 30 30 30 31 41 53 31 32 33 34 35 "
                                                           "36 37 38 04( [0-9A-F]{2}){4} 0D$"))
                     .match(lines[1])
                     .hasMatch(),
                 qPrintable(lines[1]));
        QVERIFY2(QRegularExpression(stamp + QStringLiteral("log 01\\[0001AS\\] 12345678\\(8\\)$"))
                     .match(lines[2])
                     .hasMatch(),
                 qPrintable(lines[2]));
    }

    // A reply that came after its exchange had given up is dropped before the next request:
    // the trace shows it, so a late controller can be told from a silent one.
    void staleBytesAreShownWhenDropped()
    {
        FaultSettings twice;
        twice.duplicateDelayMs = 20;
        sim_->setFaults(twice);
        Comm comm;
        TraceBuffer trace;
        trace.attach(comm);
        QVERIFY(OpenSimLink(comm, *sim_));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), 6), int(Comm::Accepted));
        QTest::qWait(100);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), 6), int(Comm::Accepted));
        sim_->clearFaults();
        const QStringList lines = trace.lines();
        const auto stale = std::find_if(lines.cbegin(), lines.cend(), [](const QString &line) {
            return line.contains(QLatin1String(" rx-stale 03 30 30 30 31 41 53"));
        });
        QVERIFY2(stale != lines.cend(), qPrintable(lines.join(QLatin1Char('\n'))));
    }

    void bufferKeepsTheLastLines()
    {
        Comm comm;
        TraceBuffer trace(4);
        trace.attach(comm);
        QVERIFY(OpenSimLink(comm, *sim_));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), 6), int(Comm::Accepted));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), 6), int(Comm::Accepted));
        const QStringList lines = trace.lines();
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.last().contains(QLatin1String(" log 01[0001DB] ")));
        QVERIFY(lines.first().contains(QLatin1String(" log 01[0001AS] ")));

        QTemporaryDir dir;
        QString error;
        QVERIFY(trace.saveTo(dir.filePath(QStringLiteral("saved.txt")), error));
        QCOMPARE(readLines(dir.filePath(QStringLiteral("saved.txt"))), lines);
        QVERIFY(!trace.saveTo(dir.filePath(QStringLiteral("missing/saved.txt")), error));
        QVERIFY(error.contains(QLatin1String("missing/saved.txt")));
    }
};

QTEST_GUILESS_MAIN(TestLinkTrace)
#include "test_link_trace.moc"
