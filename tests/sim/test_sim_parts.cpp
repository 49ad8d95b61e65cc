#include "ControllerBus.h"
#include "ControllerJson.h"
#include "DeskReaderModel.h"
#include "FaultInjector.h"
#include "Frame.h"
#include "LineService.h"
#include "ReplyAssembler.h"
#include "SimulatorHost.h"
#include "WirePacer.h"

#include "Comm.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The controller's part of a request: gives the reply frame of the body (nothing for no
// body) and counts that it was carried out.
struct Controller
{
    QByteArray body;
    int carriedOut = 0;

    FaultInjector::CarryOut carryOut()
    {
        return [this] {
            ++carriedOut;
            return body.isEmpty() ? QByteArray() : BuildReplyFrame(body);
        };
    }
};

FaultInjector::CarryOut Body(const QByteArray &body)
{
    return [frame = BuildReplyFrame(body)] { return frame; };
}

QByteArray Joined(const QList<DeliveryPiece> &pieces)
{
    QByteArray all;
    for (const DeliveryPiece &p : pieces)
        all += p.bytes;
    return all;
}

} // namespace

// The simulator's faults, desk reader and state file.
class TestSimParts : public QObject
{
    Q_OBJECT

private slots:
    void deskReader()
    {
        DeskReaderModel reader('H');
        QVERIFY(reader.handleRequest("A00B").isEmpty());
        QCOMPARE(reader.handleRequest("H00B"), QByteArray("H00BMELOK9V1"));
        QCOMPARE(reader.handleRequest("H00F"), QByteArray("H00F"));
        reader.presentCard("0012345678");
        reader.presentCard("0087654321");
        QCOMPARE(reader.cardsWaiting(), 2);
        QCOMPARE(reader.handleRequest("H00F"), QByteArray("H00F0012345678"));
        QCOMPARE(reader.handleRequest("H00F"), QByteArray("H00F0087654321"));
        QCOMPARE(reader.handleRequest("H00F"), QByteArray("H00F"));
        QVERIFY(reader.handleRequest("H00X").isEmpty());
        QVERIFY(reader.handleRequest("H00FF").isEmpty());
    }

    void characterFormats()
    {
        QCOMPARE(WirePacer::BitsPerByte(QStringLiteral("8E1")), 11);
        QCOMPARE(WirePacer::BitsPerByte(QStringLiteral("8n1")), 10);
        QCOMPARE(WirePacer::BitsPerByte(QStringLiteral("7O2")), 11);
        QCOMPARE(WirePacer::BitsPerByte(QStringLiteral("5N1")), 7);
        for (const char *bad : {"9N1", "8X1", "8E3", "8E", "", "8E1 "})
            QVERIFY(!WirePacer::BitsPerByte(QLatin1String(bad)));
    }

    void pacedLineTakesTheWireTimeOfEveryByte_data()
    {
        QTest::addColumn<int>("baudRate");
        QTest::newRow("4800") << 4800;
        QTest::newRow("19200") << 19200;
    }

    // At the rate the client sets, in the format given (the pty carries no parity): a slower
    // machine can only take longer, so the wire time is the least an exchange takes.
    void pacedLineTakesTheWireTimeOfEveryByte()
    {
        QFETCH(int, baudRate);
        SimulatorConfig config;
        config.serial = true;
        config.serialBitsPerByte = 11;
        SimulatorHost sim(config);
        QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
        Comm comm;
        QVERIFY(
            comm.CommOpenSerialDevice(sim.serialPath(), QStringLiteral("%1,e,8,1").arg(baudRate)));
        constexpr int Exchanges = 5;
        // "0001AS" is 13 bytes on the wire, its reply "0001AS12345678" 21.
        const qint64 wireMs = Exchanges * (13 + 21) * 11 * 1000LL / baudRate;
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < Exchanges; ++i)
            QCOMPARE(comm.CommExchange(QStringLiteral("0001AS"), 6), int(Comm::Accepted));
        QVERIFY2(
            clock.elapsed() >= wireMs,
            qPrintable(QStringLiteral("%1 ms, wire time %2 ms").arg(clock.elapsed()).arg(wireMs)));
    }

    void plainReplyIsOneFrame()
    {
        FaultInjector injector(1);
        const auto pieces = injector.plan("0001AS", {}, Body("0001AS12345678"));
        QCOMPARE(pieces.size(), 1);
        QCOMPARE(pieces[0].delayMs, 0);
        QCOMPARE(pieces[0].bytes, BuildReplyFrame("0001AS12345678"));
    }

    void faultsShapeTheReply()
    {
        FaultInjector injector(7);
        FaultSettings f;
        f.splitPieces = 3;
        f.splitGapMs = 10;
        f.lateMs = 100;
        f.noise = true;
        f.duplicateDelayMs = 50;
        const QByteArray frame = BuildReplyFrame("0001AS12345678");
        const auto pieces = injector.plan("0001AS", f, Body("0001AS12345678"));
        QCOMPARE(pieces.size(), 5); // noise, three pieces, the duplicate
        QVERIFY(!pieces[0].bytes.contains(ReplyStart));
        QCOMPARE(pieces[0].delayMs, 100);
        QCOMPARE(pieces[1].bytes + pieces[2].bytes + pieces[3].bytes, frame);
        QCOMPARE(pieces[3].delayMs, 120);
        QCOMPARE(pieces[4].bytes, frame);
        QVERIFY(pieces[4].delayMs > pieces[3].delayMs);

        FaultSettings codes;
        codes.silentCodes.insert("DB");
        QVERIFY(codes.addErrorCode(QStringLiteral("AF13:E")));
        QVERIFY(!codes.addErrorCode(QStringLiteral("AF13E")));
        QVERIFY(injector.plan("0001DB", codes, Body("0001DBx")).isEmpty());
        QCOMPARE(Joined(injector.plan("0001AF13", codes, Body("0001AF120"))),
                 BuildReplyFrame(QByteArray("0001AF") + ErrorMark + 'E'));
        QCOMPARE(Joined(injector.plan("0001AF14", codes, Body("0001AF0060"))),
                 BuildReplyFrame("0001AF0060"));

        // A reply lost once: the first request of the code goes unanswered, the next is
        // answered; other codes are not counted against it.
        FaultSettings once;
        once.lostCodes.insert("AC", 1);
        QCOMPARE(Joined(injector.plan("0001AS", once, Body("0001AS12345678"))),
                 BuildReplyFrame("0001AS12345678"));
        QVERIFY(injector.plan("0000AC", once, Body("0001AC12345678")).isEmpty());
        QCOMPARE(Joined(injector.plan("0000AC", once, Body("0001AC12345678"))),
                 BuildReplyFrame("0001AC12345678"));
    }

    // A command the line loses, or the controller refuses or ignores, is never carried out;
    // a reply damaged on its way back was.
    void onlyCommandsThatGetThroughAreCarriedOut()
    {
        FaultInjector injector(5);
        Controller controller{"0001AA"};
        FaultSettings refused;
        QVERIFY(refused.addErrorCode(QStringLiteral("AA:B")));
        QCOMPARE(Joined(injector.plan("0001AA20010203040506", refused, controller.carryOut())),
                 BuildReplyFrame(QByteArray("0001AA") + ErrorMark + 'B'));
        FaultSettings silent;
        silent.silentCodes.insert("AA");
        QVERIFY(injector.plan("0001AA20010203040506", silent, controller.carryOut()).isEmpty());
        FaultSettings dropped;
        dropped.dropShare = 1;
        QVERIFY(injector.plan("0001AA20010203040506", dropped, controller.carryOut()).isEmpty());
        QCOMPARE(controller.carriedOut, 0);

        FaultSettings damaged;
        damaged.corruptShare = 1;
        QVERIFY(!injector.plan("0001AA20010203040506", damaged, controller.carryOut()).isEmpty());
        QVERIFY(injector.plan("0001AA20010203040506", {}, controller.carryOut()).size() == 1);
        QCOMPARE(controller.carriedOut, 2);
        // A controller that does not answer sends nothing.
        Controller absent;
        QVERIFY(injector.plan("0002AS", {}, absent.carryOut()).isEmpty());
        QCOMPARE(absent.carriedOut, 1);
    }

    // Replies a hostile line makes out of the controller's answer, each with a correct CRC.
    void wrongLengthPairedAndReplacedReplies()
    {
        using Shape = FaultSettings::WrongLength;
        const QByteArray body = "0001HB" + QByteArray(24, '0');
        const QList<QPair<Shape, QByteArray>> shapes{{Shape::Short, body.chopped(1)},
                                                     {Shape::Long, body + '0'},
                                                     {Shape::Echo, "0001HB"},
                                                     {Shape::DeviceId, "0001"}};
        FaultInjector injector(9);
        for (const auto &[shape, expected] : shapes) {
            FaultSettings f;
            f.wrongLengthShare = 1;
            f.wrongLengthShape = shape;
            f.wrongLengthCodes = {QByteArray("HB")};
            QCOMPARE(Joined(injector.plan("0001HB0001", f, Body(body))), BuildReplyFrame(expected));
            QCOMPARE(Joined(injector.plan("0001AS", f, Body("0001AS12345678"))),
                     BuildReplyFrame("0001AS12345678"));
        }
        FaultSettings random;
        random.wrongLengthShare = 1;
        QSet<QByteArray> seen;
        for (int i = 0; i < 40; ++i)
            seen << Joined(injector.plan("0001HB0001", random, Body(body)));
        QCOMPARE(seen.size(), 4);

        FaultInjector line(4);
        FaultSettings paired;
        paired.pairedShare = 1;
        const QByteArray first = BuildReplyFrame("0001AS12345678");
        const QByteArray second = BuildReplyFrame("0001DBKT480NT-V5.04");
        QCOMPARE(Joined(line.plan("0001AS", paired, Body("0001AS12345678"))), first);
        const auto pieces = line.plan("0001DB", paired, Body("0001DBKT480NT-V5.04"));
        QCOMPARE(pieces.size(), 1);
        QVERIFY(pieces[0].bytes == first + second || pieces[0].bytes == second + first);

        FaultSettings once;
        once.duplicateDelayMs = 10;
        once.duplicateShare = 0;
        QCOMPARE(line.plan("0001AS", once, Body("0001AS12345678")).size(), 1);
        once.duplicateShare = 1;
        QCOMPARE(line.plan("0001AS", once, Body("0001AS12345678")).size(), 2);

        FaultSettings replaced;
        QVERIFY(replaced.addReplacedData(QStringLiteral("AB:2024")));
        QVERIFY(replaced.addReplacedData(QStringLiteral("ID:")));
        QVERIFY(!replaced.addReplacedData(QStringLiteral("AB")));
        QVERIFY(!replaced.addReplacedData(QStringLiteral("AB:20\x04")));
        QCOMPARE(Joined(line.plan("0001AB", replaced, Body("0001AB20080922140509"))),
                 BuildReplyFrame("0001AB2024"));
        QCOMPARE(Joined(line.plan("0001ID", replaced, Body("0001ID36"))),
                 BuildReplyFrame("0001ID"));
    }

    void corruptReplyFailsItsCheck()
    {
        FaultInjector injector(3);
        FaultSettings f;
        f.corruptShare = 1;
        for (int i = 0; i < 20; ++i) {
            const QByteArray frame = Joined(injector.plan("0001AS", f, Body("0001AS12345678")));
            ReplyAssembler a;
            bool complete = false;
            for (const char b : frame)
                complete = a.feed(b);
            QVERIFY(complete);
            QVERIFY(!CheckReplyFrame(a.frame(), 6).crcOk);
        }
    }

    // A request whose text holds framing bytes would come back inside the echo and make a
    // reply no assembler can take whole; a controller leaves such a request unanswered.
    void requestWithFramingBytesIsNotAnswered()
    {
        ControllerBus bus;
        bus.add(std::make_unique<SimController>(ControllerData::factory()));
        SharedFaults faults;
        LineService service(bus, faults, 1);
        QList<QByteArray> written;
        const auto writer = [&written](const QByteArray &bytes) { written << bytes; };
        RequestAssembler assembler;
        service.receive(assembler, BuildRequestFrame(QByteArray("0001I\x04\0\0N0000002", 17)),
                        writer);
        QVERIFY(written.isEmpty());
        service.receive(assembler, BuildRequestFrame("0001AS"), writer);
        QCOMPARE(written, QList<QByteArray>{BuildReplyFrame("0001AS12345678")});
    }

    void sharesAreSeededAndRoughlyKept()
    {
        FaultSettings f;
        f.dropShare = 0.3;
        auto lostOf = [&](quint32 seed) {
            FaultInjector injector(seed);
            QList<bool> lost;
            for (int i = 0; i < 1000; ++i)
                lost << injector.plan("0001AS", f, Body("0001AS12345678")).isEmpty();
            return lost;
        };
        const QList<bool> first = lostOf(42);
        QCOMPARE(lostOf(42), first);
        QVERIFY(lostOf(43) != first);
        const auto count = first.count(true);
        QVERIFY2(count > 220 && count < 380, qPrintable(QString::number(count)));
    }

    void combinedFaults()
    {
        FaultSettings line;
        line.dropShare = 0.2;
        line.silentCodes.insert("AS");
        FaultSettings controller;
        controller.dropShare = 0.1;
        controller.lateMs = 300;
        controller.errorCodes.insert("DB", 'C');
        const FaultSettings both = FaultSettings::combined(line, controller);
        QCOMPARE(both.dropShare, 0.2);
        QCOMPARE(both.lateMs, 300);
        QVERIFY(both.isSilent("0001AS"));
        QCOMPARE(both.errorFor("0001DB"), std::optional<char>('C'));
        QCOMPARE(both.errorFor("0001AS"), std::nullopt);
        line.lostCodes.insert("AC", 1);
        controller.lostCodes.insert("AC", 2);
        QCOMPARE(FaultSettings::combined(line, controller).lostCodes.value("AC"), 2);
    }

    void stateFileRoundTrip()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ControllerData a = ControllerData::factory(5, 3);
        a.cards = GeneratedCards(30);
        a.events = GeneratedEvents(4);
        a.clockOffsetMs = -86400000LL * 365 * 16;
        a.sd.running = 1;
        a.sd.startedAtMs = 1700000000123LL;
        a.parameters.remove("AF17");
        ControllerData b = ControllerData::factory(6);
        b.versionText = "KT760NT-V1";
        const QString path = dir.filePath(QStringLiteral("state.json"));
        QVERIFY(SaveControllersFile(path, {a, b}));
        const auto loaded = LoadControllersFile(path);
        QVERIFY(loaded.has_value());
        QCOMPARE(loaded->size(), 2);
        QVERIFY(loaded->at(0) == a);
        QVERIFY(loaded->at(1) == b);

        QFile broken(dir.filePath(QStringLiteral("broken.json")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write(R"({"controllers": [{"deviceId": "x"}]})");
        broken.close();
        QString error;
        QVERIFY(!LoadControllersFile(broken.fileName(), &error).has_value());
        QVERIFY(!error.isEmpty());
        QVERIFY(!LoadControllersFile(dir.filePath(QStringLiteral("missing.json"))).has_value());
    }

    void generatedData()
    {
        const auto cards = GeneratedCards(10500);
        QCOMPARE(cards.size(), 10500);
        QSet<QByteArray> ids;
        for (const QByteArray &record : cards) {
            QCOMPARE(record.size(), 24);
            ids.insert(record.left(16));
        }
        QCOMPARE(ids.size(), 10500);
        for (const QByteArray &e : GeneratedEvents(12))
            QVERIFY(e.size() == 31 || e.size() == 34);
    }
};

QTEST_GUILESS_MAIN(TestSimParts)
#include "test_sim_parts.moc"
