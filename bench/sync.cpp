// Card sync against restore (delete all, the 10 s settling wait, write all), in one run: a
// controller holding 3 000 cards spread over 1-10500 and a card file that changes 10 of them,
// over a pty the simulator paces at 19 200 baud 8E1 and over TCP loopback. For each: the
// time, the wire time of the exchanges made, and the lock-out window measured on the
// simulator's side (how long some card that both the controller and the file hold was
// missing from the controller). --quick runs a tenth of it: 300 cards over 1-1050.
#include "CardCodec.h"
#include "CardDiff.h"
#include "CardSync.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
#include "LockoutMeter.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

constexpr int BitsPerByte = 11; // 8E1: start, eight data bits, parity, stop
constexpr int BaudRate = 19200;
const QString Version = QStringLiteral("KT480NT-V5.04");

struct Scenario
{
    int cards = 3000;
    int lastNumber = 10500;
    QMap<int, QByteArray> controller; // what the controller holds before
    TableStore file;
    QMap<int, QByteArray> expected; // what it should hold after
    QMap<int, QByteArray> kept;     // cards both hold: never to be refused
};

QByteArray cardRecord(int number, int variant)
{
    const QByteArray id = QByteArray::number(4000000000LL + number * 13LL + variant);
    return EncodedCardRecord(id, 1 + number % 4, number % 2, "XXXX", 0);
}

// The controller's cards spread evenly over 1..lastNumber; the file changes four, drops
// three and adds three, as a site changes a few cards at a time.
void fillScenario(Scenario &s, int cards, int lastNumber)
{
    s.cards = cards;
    s.lastNumber = lastNumber;
    for (int i = 0; i < cards; ++i) {
        const int number = 1 + int(qint64(i) * lastNumber / cards);
        s.controller.insert(number, cardRecord(number, 0));
    }
    QMap<int, QByteArray> file = s.controller;
    const QList<int> numbers = s.controller.keys();
    for (const int i : {10, 200, 700, 2900})
        file[numbers[i * cards / 3000]] = cardRecord(numbers[i * cards / 3000], 1);
    for (const int i : {50, 1500, 2500})
        file.remove(numbers[i * cards / 3000]);
    for (const int i : {300, 1200, 2999}) {
        const int number = numbers[i * cards / 3000] + 1;
        if (!s.controller.contains(number))
            file.insert(number, cardRecord(number, 2));
    }
    CardTable::Recreate(s.file);
    for (auto it = file.cbegin(); it != file.cend(); ++it) {
        const QString data = QString::fromLatin1(it.value());
        CardTable::Append(s.file,
                          {CardCodec::TableCardNumber(it.key()), data.mid(0, 16), data.mid(16, 2),
                           data.mid(18, 1), data.mid(19, 4), data.mid(23, 1)});
    }
    const QMap<int, CardRecord> written = CardsByNumber(s.file);
    for (auto it = written.cbegin(); it != written.cend(); ++it)
        s.expected.insert(it.key(), CardCodec::EncodeWriteData(it.value()).toLatin1());
    for (auto it = s.controller.cbegin(); it != s.controller.cend(); ++it) {
        if (s.expected.value(it.key()) == it.value())
            s.kept.insert(it.key(), it.value());
    }
}

// The exchanges a run makes and the bytes they put on the line, both ways.
struct LineCount
{
    explicit LineCount(Comm &comm)
    {
        connection = QObject::connect(
            &comm, &Comm::traffic, [this](Comm::Traffic traffic, const QByteArray &bytes) {
                if (traffic == Comm::Traffic::Sent)
                    ++exchanges;
                if (traffic == Comm::Traffic::Sent || traffic == Comm::Traffic::Received)
                    this->bytes += bytes.size();
            });
    }
    ~LineCount() { QObject::disconnect(connection); }
    LineCount(const LineCount &) = delete;
    LineCount &operator=(const LineCount &) = delete;

    double wireSeconds() const { return double(bytes) * BitsPerByte / BaudRate; }

    QMetaObject::Connection connection;
    quint64 exchanges = 0;
    quint64 bytes = 0;
};

struct Measured
{
    double seconds = 0;
    double lockout = 0;
    int mostMissing = 0;
    quint64 exchanges = 0;
    double wireSeconds = 0;
    bool endStateIsTheFile = false;
    bool complete = false;
};

Measured measure(SimulatorHost &sim, Comm &comm, const Scenario &s,
                 const std::function<bool()> &operation)
{
    sim.controller().modify([&s](ControllerData &d) {
        d.cards = s.controller;
        return true;
    });
    Measured m;
    const LockoutMeter meter(sim.controller(), s.kept);
    const LineCount line(comm);
    QElapsedTimer clock;
    clock.start();
    m.complete = operation();
    m.seconds = double(clock.nsecsElapsed()) / 1e9;
    m.lockout = meter.windowSeconds();
    m.mostMissing = meter.mostMissing();
    m.exchanges = line.exchanges;
    m.wireSeconds = line.wireSeconds();
    m.endStateIsTheFile = sim.controller().snapshot().cards == s.expected;
    return m;
}

void run(const char *name, SimulatorHost &sim, Comm &comm, const Scenario &s, bool paced)
{
    ProgressState progress;
    SharedFlag paused;
    const Language language;
    CardSync sync(comm, progress, paused, language);
    CardSync::Outcome synced;
    const Measured bySync = measure(sim, comm, s, [&] {
        synced = sync.run(s.file, {1, s.lastNumber}, Version, CardSync::Mode::Apply);
        return synced.complete();
    });
    CardTransfer transfer(comm, progress, paused, language);
    const Measured byRestore = measure(
        sim, comm, s, [&] { return transfer.write(s.file, Version, true, false).complete(); });

    std::printf("%s: %d cards over 1-%d, %d kept, the file writes %d and empties %d\n", name,
                s.cards, s.lastNumber, int(s.kept.size()), synced.written, synced.cleared);
    for (const auto &[what, m] : {std::pair{"sync   ", bySync}, std::pair{"restore", byRestore}}) {
        std::printf("  %s %8.2f s  %6llu exchanges", what, m.seconds,
                    static_cast<unsigned long long>(m.exchanges));
        if (paced)
            std::printf("  wire time %7.2f s", m.wireSeconds);
        std::printf("  lock-out %8.3f s (up to %d cards at once)  %s, %s\n", m.lockout,
                    m.mostMissing, m.complete ? "complete" : "NOT complete",
                    m.endStateIsTheFile ? "controller = file" : "controller DIFFERS from file");
    }
    if (paced)
        std::printf("  sync time / wire time of its exchanges: %.3f\n",
                    bySync.seconds / bySync.wireSeconds);
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulator only.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    Scenario s;
    if (quick)
        fillScenario(s, 300, 1050);
    else
        fillScenario(s, 3000, 10500);

    SimulatorConfig config;
    config.tcpPort = 0;
    config.serial = true;
    config.serialBitsPerByte = BitsPerByte;
    SimulatorHost sim(config);
    if (!sim.isRunning()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }

    Comm serial;
    if (!serial.CommOpenSerialDevice(sim.serialPath(), QStringLiteral("19200,e,8,1"))) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(sim.serialPath()));
        return 1;
    }
    run("pty paced at 19200 8E1", sim, serial, s, true);
    serial.CommClose();

    Comm tcp;
    tcp.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort());
    QEventLoop loop;
    QObject::connect(&tcp, &Comm::tcpConnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    run("tcp loopback", sim, tcp, s, false);
    return 0;
}
