#include "Comm.h"
#include "Frame.h"
#include "PseudoTerminal.h"
#include "SimLink.h"
#include "SimulatorHost.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

constexpr int SerialEcho = 6;
const QString LineSettings = QStringLiteral("19200,e,8,1");

SimulatorConfig TwoControllersEverywhere()
{
    SimulatorConfig config;
    config.tcpPort = 0;
    config.udpPort = 0;
    config.serial = true;
    config.reader = true;
    ControllerData second = ControllerData::factory(2);
    second.serialNumber = "87654321";
    config.controllers = {ControllerData::factory(1), second};
    config.seed = 11;
    return config;
}

// A controller played by the test over loopback TCP: it answers each request with the writes
// of `replies`, the first at once, each further one 20 ms after the one before, so that it
// comes in a read of its own.
struct ScriptedController
{
    ScriptedController()
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            peer = server.nextPendingConnection();
            QObject::connect(peer, &QTcpSocket::readyRead, peer, [this] {
                peer->readAll();
                for (int i = 0; i < replies.size(); ++i) {
                    QTimer::singleShot(20 * i, peer,
                                       [this, bytes = replies[i]] { peer->write(bytes); });
                }
            });
        });
    }

    bool connect(Comm &comm)
    {
        QSignalSpy connected(&comm, &Comm::tcpConnected);
        return comm.CommOpenTcp(QStringLiteral("127.0.0.1"), server.serverPort()) &&
               connected.wait(3000) && QTest::qWaitFor([this] { return peer != nullptr; });
    }

    // Bytes that reach the link before any request.
    void writeNow(const QByteArray &bytes)
    {
        peer->write(bytes);
        QTest::qWait(50);
    }

    QTcpServer server;
    QTcpSocket *peer = nullptr;
    QList<QByteArray> replies;
};

} // namespace

// The device link against simulated controllers over real loopback TCP and UDP sockets and
// pseudo-terminals: every result code, the framing faults, and the desk reader.
class TestLinkExchange : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatorHost> sim_;

    bool openSerial(Comm &comm)
    {
        return comm.CommOpenSerialDevice(sim_->serialPath(), LineSettings);
    }

private slots:
    void initTestCase()
    {
        sim_ = std::make_unique<SimulatorHost>(TwoControllersEverywhere());
        QVERIFY2(sim_->isRunning(), qPrintable(sim_->errorString()));
        QVERIFY(sim_->tcpPort() != 0);
        QVERIFY(sim_->udpPort() != 0);
        QVERIFY(sim_->serialPath().startsWith(QLatin1String("/dev/")));
        QVERIFY(sim_->readerPath().startsWith(QLatin1String("/dev/")));
    }

    void init() { sim_->clearFaults(); }
    void cleanupTestCase() { sim_.reset(); }

    void noTransport()
    {
        Comm comm;
        QSignalSpy log(&comm, &Comm::logLine);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);
        QVERIFY(comm.CommResume());
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.at(0).at(0).toString(), QStringLiteral("00(0)"));
        QVERIFY(!comm.CommBusy());
    }

    void acceptedOverEveryTransport()
    {
        Comm comm;
        QSignalSpy log(&comm, &Comm::logLine);
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("12345678"));
        QCOMPARE(comm.ReplyLength(), 8);
        QCOMPARE(log.last().at(0).toString(), QStringLiteral("01[0001AS] 12345678(8)"));

        QVERIFY(OpenSimLink(comm, *sim_, Via::Udp));
        QCOMPARE(comm.CommMode(), int(Comm::Udp));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("KT480NT-V5.04"));

        QVERIFY(openSerial(comm));
        QCOMPARE(comm.CommMode(), int(Comm::Serial));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AF13"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("120"));
        // A write with the four-character echo leaves nothing after it.
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AF13077"), 8), 1);
        QCOMPARE(comm.ReplyLength(), 0);
        QCOMPARE(sim_->controller(0).snapshot().parameters.value("AF13"), QByteArray("077"));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AF13120"), 8), 1);
    }

    void multiDropSerialLine()
    {
        Comm comm;
        QVERIFY(openSerial(comm));
        QCOMPARE(comm.CommExchange(QStringLiteral("0002AS"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("87654321"));
        // Both controllers answer the broadcast at once: their replies collide on the line and
        // make no reply; the link goes on.
        QCOMPARE_NE(comm.CommExchange(QStringLiteral("0000AC"), 0), 1);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("12345678"));
    }

    void tcpBeforeConnectCompletes()
    {
        Comm comm;
        QVERIFY(comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim_->tcpPort()));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);
        QSignalSpy connected(&comm, &Comm::tcpConnected);
        QVERIFY(connected.wait(3000));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
    }

    void timeOutWhenRepliesAreLost()
    {
        Comm comm;
        QSignalSpy log(&comm, &Comm::logLine);
        QVERIFY(OpenSimLink(comm, *sim_, Via::Udp));
        FaultSettings drop;
        drop.dropShare = 1;
        sim_->setEndpointFaults(SimulatorHost::Endpoint::Udp, drop);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 2);
        QCOMPARE(log.last().at(0).toString(), QStringLiteral("02[0001AS] (0)"));
        QCOMPARE(comm.ReplyLength(), 0);

        sim_->clearFaults();
        FaultSettings silent;
        silent.silentCodes.insert("DB");
        sim_->setControllerFaults(0, silent);
        QVERIFY(openSerial(comm));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), SerialEcho), 2);
        // Only that code is silenced, and only on that controller.
        QCOMPARE(comm.CommExchange(QStringLiteral("0002DB"), SerialEcho), 1);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
    }

    void crcMismatch()
    {
        Comm comm;
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        FaultSettings corrupt;
        corrupt.corruptShare = 1;
        sim_->setFaults(corrupt);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 11);
        QCOMPARE(comm.ReplyLength(), 0);
        sim_->clearFaults();
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
    }

    void controllerErrorReplies()
    {
        Comm comm;
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        for (char letter = 'A'; letter <= 'G'; ++letter) {
            FaultSettings refuse;
            refuse.errorCodes.insert("AS", letter);
            sim_->setFaults(refuse);
            QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 21 + (letter - 'A'));
            QCOMPARE(comm.ReplyLength(), 2);
            QCOMPARE(comm.ReplyText(), QString(QChar(ErrorMark)) + QLatin1Char(letter));
        }
        // The controller's own refusal of an unknown code.
        sim_->clearFaults();
        QCOMPARE(comm.CommExchange(QStringLiteral("0001ZZ"), SerialEcho), 21);
        // A refused write whose echo would carry the four-character code.
        FaultSettings refuseWrite;
        refuseWrite.errorCodes.insert("AF13", 'B');
        sim_->setFaults(refuseWrite);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AF13120"), 8), 22);
        QCOMPARE(comm.ReplyLength(), 2);
    }

    // A reply that repeats only the start of the echo (the Device ID, part of the code) stops
    // short of what the command asks: it is no answer without data. An echo that differs
    // from the command is a late reply to another one and is not taken.
    void partialEchoIsNotAReply()
    {
        ScriptedController controller;
        Comm comm;
        QVERIFY(controller.connect(comm));
        for (const QByteArray &echo : {QByteArray("0001"), QByteArray("0001A")}) {
            controller.replies = {BuildReplyFrame(echo)};
            QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho),
                     int(Comm::Incomplete));
            QCOMPARE(comm.ReplyLength(), 0);
        }
        // The defaults' four-character echo, cut after the two letters.
        controller.replies = {BuildReplyFrame("0001AF")};
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AF13120"), 8), int(Comm::Incomplete));
        for (const QByteArray &other : {QByteArray("0002"), QByteArray("0001AB")}) {
            controller.replies = {BuildReplyFrame(other)};
            QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 2);
        }
        // The simulator's line cuts the reply to the Device ID alone.
        FaultSettings cut;
        cut.wrongLengthShare = 1;
        cut.wrongLengthShape = FaultSettings::WrongLength::DeviceId;
        sim_->setFaults(cut);
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), int(Comm::Incomplete));
    }

    // Frames that come for one request: it takes only an answer that is clear, and counts
    // every frame it does not take, those dropped before its request included.
    void severalFramesForOneRequest_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<QByteArray>>("writes");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("notTaken");
        const QByteArray serial = BuildReplyFrame("0001AS12345678");
        const QByteArray other = BuildReplyFrame("0001AS87654321");
        const QByteArray version = BuildReplyFrame("0001DBKT480NT-V5.04");
        using Writes = QList<QByteArray>;
        QTest::newRow("one reply") << QByteArray() << Writes{serial} << 1 << 0;
        QTest::newRow("two different replies at once")
            << QByteArray() << Writes{other + serial} << int(Comm::Ambiguous) << 1;
        QTest::newRow("the same reply twice at once")
            << QByteArray() << Writes{serial + serial} << 1 << 1;
        QTest::newRow("a reply broken off by another")
            << QByteArray() << Writes{serial.left(9) + serial} << int(Comm::Ambiguous) << 1;
        QTest::newRow("a reply broken off, the other in a later write")
            << QByteArray() << Writes{serial.left(9), other} << int(Comm::Ambiguous) << 1;
        QTest::newRow("a reply to another command first")
            << QByteArray() << Writes{version + serial} << 1 << 1;
        QTest::newRow("a reply left from before the request") << other << Writes{serial} << 1 << 1;
    }

    void severalFramesForOneRequest()
    {
        QFETCH(QByteArray, before);
        QFETCH(QList<QByteArray>, writes);
        QFETCH(int, result);
        QFETCH(int, notTaken);
        ScriptedController controller;
        Comm comm;
        QVERIFY(controller.connect(comm));
        if (!before.isEmpty())
            controller.writeNow(before);
        controller.replies = writes;
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), result);
        QCOMPARE(comm.framesNotTaken(), notTaken);
        QCOMPARE(comm.ReplyText(), result == 1 ? QStringLiteral("12345678") : QString());
    }

    void splitRepliesAreAssembled()
    {
        FaultSettings split;
        split.splitPieces = 6;
        split.splitGapMs = 15;
        sim_->setFaults(split);
        Comm comm;
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("KT480NT-V5.04"));
        QVERIFY(openSerial(comm));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001HB0001"), SerialEcho), 1);
        QCOMPARE(comm.ReplyLength(), 24);
    }

    void noiseDatagramBeforeTheReply()
    {
        FaultSettings noise;
        noise.noise = true;
        sim_->setEndpointFaults(SimulatorHost::Endpoint::Udp, noise);
        Comm comm;
        QVERIFY(OpenSimLink(comm, *sim_, Via::Udp));
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
            QCOMPARE(comm.ReplyText(), QStringLiteral("12345678"));
        }
    }

    void lateReplyIsNotTakenForTheNextCommand()
    {
        Comm comm;
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        FaultSettings late;
        late.lateMs = 800;
        sim_->setFaults(late);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 2);
        // The serial number reply now arrives during the next exchange, before its own reply.
        late.lateMs = 350;
        sim_->setFaults(late);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("KT480NT-V5.04"));
    }

    void duplicateReplyIsNotTakenForTheNextCommand()
    {
        Comm comm;
        QVERIFY(openSerial(comm));
        FaultSettings duplicate;
        duplicate.duplicateDelayMs = 120;
        sim_->setFaults(duplicate);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
        FaultSettings late;
        late.lateMs = 300;
        sim_->setFaults(late);
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), SerialEcho), 1);
        QCOMPARE(comm.ReplyText(), QStringLiteral("KT480NT-V5.04"));
    }

    void nestedExchangeIsRefused()
    {
        Comm comm;
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        QSignalSpy log(&comm, &Comm::logLine);
        FaultSettings late;
        late.lateMs = 150;
        sim_->setFaults(late);
        int nested = -1;
        bool busyInside = false;
        QTimer::singleShot(30, &comm, [&] {
            busyInside = comm.CommBusy();
            nested = comm.CommExchange(QStringLiteral("0001DB"), SerialEcho);
        });
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
        QVERIFY(busyInside);
        QCOMPARE(nested, 0);
        QCOMPARE(comm.ReplyText(), QStringLiteral("12345678"));
        QCOMPARE(log.size(), 1);
        QVERIFY(!comm.CommBusy());
        sim_->clearFaults();
        QCOMPARE(comm.CommExchange(QStringLiteral("0001DB"), SerialEcho), 1);
    }

    void invalidCommandTextsAreNotSent()
    {
        Comm comm;
        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        const quint64 before = sim_->controller(0).revision();
        // As a 256-character group write this would change the controller if it were sent.
        const QString tooLong =
            QStringLiteral("0001BD") + QString(242, QLatin1Char('1')) + QStringLiteral("12345678");
        QCOMPARE(tooLong.size(), 256);
        QCOMPARE(comm.CommExchange(tooLong, SerialEcho), 0);
        QCOMPARE(comm.CommExchange(QString(), SerialEcho), 0);
        // Text outside single bytes would go out altered.
        QCOMPARE(comm.CommExchange(QStringLiteral("0001BD01卡片卡片卡片卡片"), SerialEcho), 0);
        for (const char framing : {'\x01', '\x02', '\x03', '\x04', '\x0D'})
            QCOMPARE(
                comm.CommExchange(QStringLiteral("0001AF13") + QLatin1Char(framing), SerialEcho),
                0);
        QCOMPARE(sim_->controller(0).revision(), before);
        QVERIFY(!comm.CommBusy());
        // The longest valid text goes through.
        const QString longest = tooLong.mid(1).replace(0, 6, QStringLiteral("0001BD"));
        QCOMPARE(longest.size(), 255);
        QCOMPARE(comm.CommExchange(longest, SerialEcho), 1);
        QCOMPARE(sim_->controller(0).revision(), before + 1);
    }

    void serialPortsThatCannotBeOpened()
    {
        Comm comm;
        QVERIFY(
            !comm.CommOpenSerialDevice(QStringLiteral("/dev/kt480-no-such-port"), LineSettings));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);

        Comm holder;
        QVERIFY(openSerial(holder));
        Comm second;
        QVERIFY(!openSerial(second));
        QCOMPARE(second.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);
        QCOMPARE(holder.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);

        // A closed port is free at once, before the event loop has run.
        holder.CommClose();
        QVERIFY(openSerial(second));
        QCOMPARE(second.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);
    }

    // A serial device that goes away (an adapter unplugged) is closed at once instead of
    // failing every exchange; a resume opens it again once it is back, and reports failure
    // while it is not.
    void vanishedSerialDeviceIsOpenedAgainWhenBack()
    {
        QTemporaryDir dir;
        const QString line = dir.filePath(QStringLiteral("adapter"));
        auto adapter = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(adapter->slavePath(), line));
        Comm comm;
        QVERIFY(comm.CommOpenSerialDevice(line, QStringLiteral("19200,n,8,1")));
        QVERIFY(comm.TransportOpen());

        adapter.reset();
        QTRY_VERIFY(!comm.TransportOpen());
        QVERIFY(comm.TransportHeld());
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);

        adapter = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::remove(line));
        QVERIFY(QFile::link(adapter->slavePath(), line));
        QVERIFY(comm.CommResume());
        QVERIFY(comm.TransportOpen());

        adapter.reset();
        QTRY_VERIFY(!comm.TransportOpen());
        QVERIFY(QFile::remove(line));
        QVERIFY(!comm.CommResume());
        QVERIFY(!comm.TransportHeld());

        // The desk reader's port the same way: a gone reader answers 0 at once.
        adapter = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(adapter->slavePath(), line));
        QVERIFY(comm.ReaderOpenDevice(line, QStringLiteral("19200,n,8,1")));
        adapter.reset();
        QVERIFY(QFile::remove(line));
        QTest::qWait(50);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00B"), 4), 0);
        QVERIFY(clock.elapsed() < 400);
    }

    void deskReader()
    {
        Comm comm;
        QSignalSpy log(&comm, &Comm::logLine);
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00B"), 4), 0);
        QVERIFY(comm.ReaderOpenDevice(sim_->readerPath(), LineSettings));
        QVERIFY(comm.ReaderOpenDevice(QStringLiteral("/dev/kt480-no-such-port"), LineSettings));

        QVERIFY(OpenSimLink(comm, *sim_, Via::Tcp));
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 1);

        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00B"), 4), 1);
        QCOMPARE(comm.ReaderReplyText(), QStringLiteral("MELOK9V1"));
        QCOMPARE(log.last().at(0).toString(), QStringLiteral("01[A00B] MELOK9V1(8)"));
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00F"), 4), 1);
        QCOMPARE(comm.ReaderReplyLength(), 0);
        sim_->presentCard("0012345678");
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00F"), 4), 1);
        QCOMPARE(comm.ReaderReplyText(), QStringLiteral("0012345678"));
        // Handed out once only.
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00F"), 4), 1);
        QCOMPARE(comm.ReaderReplyLength(), 0);
        // Another family's probe goes unanswered.
        QCOMPARE(comm.ReaderExchange(QStringLiteral("H00B"), 4), 2);

        QCOMPARE(comm.ReplyText(), QStringLiteral("12345678"));
        QCOMPARE(comm.ReplyLength(), 8);
        comm.ReaderClose();
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00B"), 4), 0);
    }

    void closeAndResume()
    {
        Comm comm;
        QVERIFY(openSerial(comm));
        comm.CommClose();
        QVERIFY(!comm.TransportHeld());
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);
        QVERIFY(comm.CommResume());
        QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), SerialEcho), 0);
    }
};

QTEST_GUILESS_MAIN(TestLinkExchange)
#include "test_link_exchange.moc"
