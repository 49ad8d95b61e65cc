// Exchanges per second, latency and CPU time of the device link against the in-process
// simulator over TCP, UDP and a pseudo-terminal, beside the 5 ms polling reference.
#include "Comm.h"
#include "ReferenceExchange.h"
#include "SimulatorHost.h"
#include "TcpTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

struct Figures
{
    int count = 0;
    int failures = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    std::vector<double> latenciesMs;

    double perSecond() const { return seconds > 0 ? count / seconds : 0; }
    double percentile(double p) const
    {
        if (latenciesMs.empty())
            return 0;
        std::vector<double> sorted = latenciesMs;
        std::sort(sorted.begin(), sorted.end());
        const auto i = static_cast<size_t>(p * double(sorted.size() - 1));
        return sorted[i];
    }
    double cpuMsPerExchange() const { return count > 0 ? cpuSeconds * 1000.0 / count : 0; }
};

double cpuNow()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

Figures measure(int count, const std::function<int(int)> &exchange)
{
    Figures f;
    f.count = count;
    f.latenciesMs.reserve(count);
    QElapsedTimer total;
    const double cpu0 = cpuNow();
    total.start();
    for (int i = 0; i < count; ++i) {
        QElapsedTimer one;
        one.start();
        if (exchange(i) != Comm::Accepted)
            ++f.failures;
        f.latenciesMs.push_back(double(one.nsecsElapsed()) / 1e6);
    }
    f.seconds = double(total.nsecsElapsed()) / 1e9;
    f.cpuSeconds = cpuNow() - cpu0;
    return f;
}

void print(const char *name, const Figures &f)
{
    std::printf("%-28s %7d  %9.0f/s  median %7.3f ms  p99 %7.3f ms  cpu %7.4f ms/exch  "
                "failed %d\n",
                name, f.count, f.perSecond(), f.percentile(0.5), f.percentile(0.99),
                f.cpuMsPerExchange(), f.failures);
}

bool waitForTcp(Comm &comm)
{
    QEventLoop loop;
    QObject::connect(&comm, &Comm::tcpConnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    return comm.TcpConnected();
}

Figures silentWait(Comm &comm, SimulatorHost &sim)
{
    FaultSettings silent;
    silent.silentCodes.insert("AS");
    sim.setFaults(silent);
    const Figures f =
        measure(3, [&](int) { return comm.CommExchange(QStringLiteral("0001AS"), 6); });
    sim.clearFaults();
    return f;
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulator only.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(100, std::atoi(argv[1])) : 5000;

    SimulatorConfig config;
    config.tcpPort = 0;
    config.udpPort = 0;
    config.serial = true;
    ControllerData controller = ControllerData::factory();
    controller.cards = GeneratedCards(10500);
    config.controllers = {controller};
    SimulatorHost sim(config);
    if (!sim.isRunning()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    const QString host = QStringLiteral("127.0.0.1");
    auto as = [](Comm &comm) {
        return [&comm](int) { return comm.CommExchange(QStringLiteral("0001AS"), 6); };
    };

    std::printf("exchange benchmark: \"0001AS\" request/reply against the simulator\n\n");

    Comm tcp;
    tcp.CommOpenTcp(host, sim.tcpPort());
    if (!waitForTcp(tcp)) {
        std::fprintf(stderr, "no TCP connection to the simulator\n");
        return 1;
    }
    measure(200, as(tcp));
    const Figures tcpFigures = measure(n, as(tcp));
    print("tcp loopback", tcpFigures);

    TcpTransport reference(host, sim.tcpPort());
    {
        QEventLoop loop;
        QObject::connect(&reference, &TcpTransport::connected, &loop, &QEventLoop::quit);
        reference.connectToHost();
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const Figures refFigures =
        measure(200, [&](int) { return ReferenceExchange(reference, "0001AS", 6); });
    print("tcp loopback, 5 ms polling", refFigures);

    Comm udp;
    udp.CommOpenUdp(host, sim.udpPort(), 0);
    measure(200, as(udp));
    print("udp loopback", measure(n, as(udp)));

    Comm serial;
    if (serial.CommOpenSerialDevice(sim.serialPath(), QStringLiteral("115200,n,8,1"))) {
        measure(50, as(serial));
        const Figures s = measure(std::min(n, 2000), as(serial));
        print("pty 115200", s);
        // 13 request bytes and 21 reply bytes, 10 bits each (8 data, start, stop).
        std::printf("%-28s %7s  %9.0f/s  (wire time %.3f ms per exchange)\n",
                    "  pty wire-time bound", "", 115200.0 / (34 * 10), 34 * 10 * 1000.0 / 115200.0);
    }

    const Figures silent = silentWait(tcp, sim);
    std::printf("\nsilent controller (time-out) %d exchanges: %.3f s, cpu %.4f ms per wait\n",
                silent.count, silent.seconds, silent.cpuMsPerExchange());

    const Figures walk = measure(10500, [&](int i) {
        const int card = i + 1;
        const QString number =
            QStringLiteral("%1").arg(card, card <= 9999 ? 4 : 7, 10, QLatin1Char('0'));
        return tcp.CommExchange(QStringLiteral("0001HB") + number, 6);
    });
    std::printf("HB walk of cards 1-10500 over TCP: %.3f s (%d failed)\n", walk.seconds,
                walk.failures);

    const double ratio =
        refFigures.perSecond() > 0 ? tcpFigures.perSecond() / refFigures.perSecond() : 0;
    std::printf("\nthroughput ratio event-driven / 5 ms polling on TCP: %.1fx\n", ratio);
    std::printf("estimated 10500-card walk with 5 ms polling: %.1f s\n",
                10500 / std::max(refFigures.perSecond(), 1.0));
    return 0;
}
