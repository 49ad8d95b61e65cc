// Card read and write against the in-process simulator: cards 1-10500 over TCP, UDP and a
// pty at 115200, through the card transfer the card window uses.
#include "CardTable.h"
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

constexpr int Cards = 10500;

double seconds(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e9;
}

// Bytes on the line per exchange: "HB" request 17 and reply 37, "HA" request 44 and reply 13.
constexpr int ReadBytes = 17 + 37;
constexpr int WriteBytes = 44 + 13;

void run(const char *name, Comm &comm, SimulatorHost &sim, int baudRate)
{
    ProgressState progress;
    SharedFlag paused;
    const Language language;
    CardTransfer transfer(comm, progress, paused, language);
    transfer.setSettleWait(0, 0);
    TableStore table;
    CardTransfer::ReadOutcome read;
    const double readTime = seconds([&] { read = transfer.readRange(table, {1, Cards}); });
    sim.controller().modify([](ControllerData &d) {
        d.cards.clear();
        return true;
    });
    CardTransfer::WriteOutcome written;
    const double writeTime = seconds(
        [&] { written = transfer.write(table, QStringLiteral("KT480NT-V5"), false, false); });
    std::printf("%-14s read %5d cards (%d found, %lld failed) %6.3f s   write %5d cards "
                "(%lld failed) %6.3f s",
                name, Cards, read.cardsFound, static_cast<long long>(read.failedNumbers.size()),
                readTime, written.written, static_cast<long long>(written.failedNumbers.size()),
                writeTime);
    // Ten bits a byte: start, eight data bits, stop.
    if (baudRate > 0)
        std::printf("   (wire time at %d baud: read %.1f s, write %.1f s)", baudRate,
                    Cards * ReadBytes * 10.0 / baudRate, Cards * WriteBytes * 10.0 / baudRate);
    std::printf("\n");
}

// Resident memory in MiB (Linux); 0 where it cannot be read.
double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024 * 1024) : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulator only.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    SimulatorConfig config;
    config.tcpPort = 0;
    config.udpPort = 0;
    config.serial = true;
    ControllerData controller = ControllerData::factory();
    controller.cards = GeneratedCards(Cards);
    config.controllers = {controller};
    SimulatorHost sim(config);
    if (!sim.isRunning()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    auto refill = [&] {
        sim.controller().modify([](ControllerData &d) {
            d.cards = GeneratedCards(Cards);
            return true;
        });
    };

    Comm tcp;
    tcp.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort());
    QEventLoop loop;
    QObject::connect(&tcp, &Comm::tcpConnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    run("tcp loopback", tcp, sim, 0);

    refill();
    Comm udp;
    udp.CommOpenUdp(QStringLiteral("127.0.0.1"), sim.udpPort(), 0);
    run("udp loopback", udp, sim, 0);

    refill();
    Comm serial;
    if (serial.CommOpenSerialDevice(sim.serialPath(), QStringLiteral("115200,n,8,1"))) {
        run("pty 115200", serial, sim, 115200);
    }

    // Memory and time of a table of 100 000 cards, as a large card file holds.
    const double before = residentMiB();
    TableStore big;
    CardTable::Recreate(big);
    const double fill = seconds([&] {
        for (int n = 1; n <= 100000; ++n)
            CardTable::Append(big,
                              {QString::number(n).rightJustified(7, QLatin1Char('0')),
                               QStringLiteral("0000000012345678"), QStringLiteral("01"),
                               QStringLiteral("0"), QStringLiteral("XXXX"), QStringLiteral("0")});
    });
    std::printf("table of 100000 cards filled in %.3f s, %.1f MiB more resident memory\n", fill,
                residentMiB() - before);
    return 0;
}
