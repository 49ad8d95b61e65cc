// A card backup on a line that loses replies: card numbers 1-10500 read over TCP loopback with
// 10 % of the replies lost, once with the late-reply wait counted from the attempt that timed
// out (the retry policy) and once counted from the number's last attempt (as before), side by
// side with the same lost replies.
//
//   bench_late_cards [--cards N] [--drop SHARE]
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "ReferenceLateWait.h"
#include "SharedFlag.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <memory>

namespace {

constexpr quint32 Seed = 5;

std::unique_ptr<SimulatorHost> Simulator(int cards, double drop)
{
    SimulatorConfig config;
    config.tcpPort = 0;
    config.seed = Seed;
    ControllerData controller = ControllerData::factory();
    controller.cards = GeneratedCards(cards / 2);
    config.controllers = {controller};
    config.faults.dropShare = drop;
    return std::make_unique<SimulatorHost>(config);
}

bool Connect(Comm &comm, const SimulatorHost &sim)
{
    comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort());
    QEventLoop loop;
    QObject::connect(&comm, &Comm::tcpConnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    return comm.TcpConnected();
}

LateWaitFigures PolicyRead(Comm &comm, int cards)
{
    ProgressState progress;
    SharedFlag paused;
    const Language language;
    CardTransfer transfer(comm, progress, paused, language);
    LateWaitFigures figures;
    QObject::connect(&comm, &Comm::logLine, [&figures](const QString &line) {
        figures.timedOut += line.startsWith(QStringLiteral("02")) ? 1 : 0;
    });
    TableStore table;
    QElapsedTimer clock;
    clock.start();
    const CardTransfer::ReadOutcome outcome = transfer.readRange(table, {1, cards});
    figures.seconds = double(clock.nsecsElapsed()) / 1e9;
    figures.found = outcome.cardsFound;
    figures.failed = int(outcome.failedNumbers.size());
    return figures;
}

void Print(const char *name, const LateWaitFigures &f)
{
    std::printf("%-38s %8.1f s  %5d cards found  %3d not read  %5d replies lost  %5.2f s per "
                "lost reply\n",
                name, f.seconds, f.found, f.failed, f.timedOut,
                f.timedOut > 0 ? f.seconds / f.timedOut : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulators only.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("cards"), QStringLiteral("Card numbers 1..N are read (default 10500)."),
         QStringLiteral("N"), QStringLiteral("10500")},
        {QStringLiteral("drop"), QStringLiteral("Share of replies lost (default 0.1)."),
         QStringLiteral("SHARE"), QStringLiteral("0.1")},
    });
    parser.process(app);
    const int cards = parser.value(QStringLiteral("cards")).toInt();
    const double drop = parser.value(QStringLiteral("drop")).toDouble();
    std::printf("card numbers 1..%d, %.0f %% of the replies lost, TCP loopback\n", cards,
                drop * 100);
    std::fflush(stdout);

    // The two reads run side by side, each on a thread and a simulator of its own; the same
    // seed loses the same replies, since both send the same commands in the same order.
    LateWaitFigures before;
    LateWaitFigures after;
    QString error;
    auto run = [&](LateWaitFigures &figures, bool reference) {
        const std::unique_ptr<SimulatorHost> sim = Simulator(cards, drop);
        Comm comm;
        if (!sim->isRunning() || !Connect(comm, *sim)) {
            error = QStringLiteral("the simulator cannot be reached");
            return;
        }
        figures = reference ? ReferenceLateWaitRead(comm, cards) : PolicyRead(comm, cards);
        comm.CommClose();
    };
    std::unique_ptr<QThread> first(QThread::create([&] { run(before, true); }));
    std::unique_ptr<QThread> second(QThread::create([&] { run(after, false); }));
    first->start();
    second->start();
    first->wait();
    second->wait();
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Print("wait from the number's last attempt", before);
    Print("wait from the attempt that timed out", after);
    return 0;
}
