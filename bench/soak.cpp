// Fault soak: All Backup then All Restore, round after round, against simulated controllers
// whose lines drop, damage, delay, split and duplicate replies, cut or stretch card replies and
// send two replies at once, over TCP, UDP and a pty at once. After
// every round the controllers are compared with the files and with what the operations
// reported: each parameter and card is restored or named as failed, never silently missing,
// and no operation says "OK!" with a difference.
#include "SoakSite.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <mutex>
#include <vector>

namespace {

struct Transport
{
    const char *name;
    SimulatorHost::Endpoint endpoint;
};

constexpr Transport Transports[] = {{"tcp", SimulatorHost::Endpoint::Tcp},
                                    {"udp", SimulatorHost::Endpoint::Udp},
                                    {"pty", SimulatorHost::Endpoint::Serial}};

struct Totals
{
    int rounds = 0;
    quint64 exchanges = 0;
    quint64 retries = 0;
    int checked = 0;
    int named = 0;
    int silent = 0;
    int falseOk = 0;
    double seconds = 0;
    QStringList silentItems;
    // Per line: exchanges before its first reply frame outside an exchange; -1: none came.
    QList<qint64> beforeStray;
    QString error;
};

std::mutex printing;

void Add(Totals &to, const Totals &t)
{
    to.rounds += t.rounds;
    to.exchanges += t.exchanges;
    to.retries += t.retries;
    to.checked += t.checked;
    to.named += t.named;
    to.silent += t.silent;
    to.falseOk += t.falseOk;
    to.seconds = std::max(to.seconds, t.seconds);
    to.silentItems += t.silentItems;
    to.beforeStray += t.beforeStray;
    if (to.error.isEmpty())
        to.error = t.error;
}

// The rounds first, first + step, ... of one transport, on a line of their own.
Totals Soak(const Transport &transport, const FaultSettings &faults, quint32 seed, int first,
            int step, int rounds, int lastCard, const QString &folder)
{
    Totals totals;
    SoakSite site(transport.endpoint, faults, seed, lastCard);
    if (!site.open()) {
        totals.error = site.error();
        return totals;
    }
    for (int r = first; r <= rounds; r += step) {
        const QString roundFolder =
            QStringLiteral("%1/%2-%3").arg(folder).arg(transport.name).arg(r);
        const SoakSite::Round round = site.runRound(roundFolder);
        ++totals.rounds;
        totals.exchanges += round.exchanges;
        totals.retries += round.retries;
        totals.checked += round.findings.checked;
        totals.named += round.findings.named;
        totals.silent += int(round.findings.silent.size());
        totals.falseOk += round.falseOk;
        totals.seconds += round.seconds;
        totals.silentItems += round.findings.silent;
        const std::lock_guard lock(printing);
        std::fprintf(
            stderr, "%s round %2d: %5llu exchanges, %4llu retries, %3d named, %d silent, %5.1f s\n",
            transport.name, r, static_cast<unsigned long long>(round.exchanges),
            static_cast<unsigned long long>(round.retries), round.findings.named,
            int(round.findings.silent.size()), round.seconds);
        for (const QString &item : round.findings.silent)
            std::fprintf(stderr, "  SILENT %s\n", qPrintable(item));
    }
    const std::optional<quint64> beforeStray = site.exchangesBeforeStrayFrame();
    totals.beforeStray << (beforeStray ? qint64(*beforeStray) : -1);
    return totals;
}

void PrintRow(const char *name, const Totals &t)
{
    std::printf("%-6s %6d %10llu %8llu %9d %7d %7d %8d %8.0f\n", name, t.rounds,
                static_cast<unsigned long long>(t.exchanges),
                static_cast<unsigned long long>(t.retries), t.checked, t.named, t.silent, t.falseOk,
                t.seconds);
}

} // namespace

int main(int argc, char *argv[])
{
    // A soak talks to its own simulators only.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("All Backup and All Restore against faulty "
                                                    "simulated lines."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("rounds"), QStringLiteral("Rounds per transport (default 20)."),
         QStringLiteral("N"), QStringLiteral("20")},
        {QStringLiteral("cards"), QStringLiteral("Card numbers 1..N are read (default 80)."),
         QStringLiteral("N"), QStringLiteral("80")},
        {QStringLiteral("drop"), QStringLiteral("Share of replies dropped (default 0.05)."),
         QStringLiteral("SHARE"), QStringLiteral("0.05")},
        {QStringLiteral("corrupt"), QStringLiteral("Share of replies with a wrong CRC (0.01)."),
         QStringLiteral("SHARE"), QStringLiteral("0.01")},
        {QStringLiteral("late-ms"),
         QStringLiteral("Delay of late replies (default 700 ms, after the time-out)."),
         QStringLiteral("MS"), QStringLiteral("700")},
        {QStringLiteral("late-share"), QStringLiteral("Share of late replies (default 0.02)."),
         QStringLiteral("SHARE"), QStringLiteral("0.02")},
        {QStringLiteral("split"), QStringLiteral("Pieces of every reply (default 3)."),
         QStringLiteral("N"), QStringLiteral("3")},
        {QStringLiteral("duplicate"),
         QStringLiteral("Share of replies sent again (default 0.002)."), QStringLiteral("SHARE"),
         QStringLiteral("0.002")},
        {QStringLiteral("duplicate-ms"),
         QStringLiteral("How long after a reply its copy comes (default 3 ms)."),
         QStringLiteral("MS"), QStringLiteral("3")},
        {QStringLiteral("wrong-length"),
         QStringLiteral("Share of card replies one character short or long, or cut to the echo "
                        "or the Device ID (default 0.02)."),
         QStringLiteral("SHARE"), QStringLiteral("0.02")},
        {QStringLiteral("paired"),
         QStringLiteral("Share of replies sent in one write with the previous reply (default "
                        "0.002)."),
         QStringLiteral("SHARE"), QStringLiteral("0.002")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the faults and changes (default 1)."),
         QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("lines"),
         QStringLiteral("Simulated lines per transport that share its rounds (default 4)."),
         QStringLiteral("N"), QStringLiteral("4")},
    });
    parser.process(app);
    const int rounds = parser.value(QStringLiteral("rounds")).toInt();
    const int lastCard = parser.value(QStringLiteral("cards")).toInt();
    const quint32 seed = parser.value(QStringLiteral("seed")).toUInt();
    const int lines = std::max(1, parser.value(QStringLiteral("lines")).toInt());
    FaultSettings faults;
    faults.dropShare = parser.value(QStringLiteral("drop")).toDouble();
    faults.corruptShare = parser.value(QStringLiteral("corrupt")).toDouble();
    faults.lateMs = parser.value(QStringLiteral("late-ms")).toInt();
    faults.lateShare = parser.value(QStringLiteral("late-share")).toDouble();
    faults.splitPieces = parser.value(QStringLiteral("split")).toInt();
    faults.splitGapMs = 1;
    faults.duplicateShare = parser.value(QStringLiteral("duplicate")).toDouble();
    faults.duplicateDelayMs =
        faults.duplicateShare > 0 ? parser.value(QStringLiteral("duplicate-ms")).toInt() : 0;
    faults.wrongLengthShare = parser.value(QStringLiteral("wrong-length")).toDouble();
    // Only a card reply has a length the utility knows; a parameter's value may have any.
    faults.wrongLengthCodes = {QByteArray("HB")};
    faults.pairedShare = parser.value(QStringLiteral("paired")).toDouble();

    QTemporaryDir folder;
    std::printf("faults: %.0f %% dropped, %.0f %% CRC errors, %.0f %% late by %d ms, replies in "
                "%d pieces, %.1f %% sent twice (%d ms apart), %.1f %% of card replies of a wrong "
                "length, %.1f %% in one write with the previous reply; cards 1..%d; %d rounds "
                "per transport on %d lines each\n",
                faults.dropShare * 100, faults.corruptShare * 100, faults.lateShare * 100,
                faults.lateMs, faults.splitPieces, faults.duplicateShare * 100,
                faults.duplicateDelayMs, faults.wrongLengthShare * 100, faults.pairedShare * 100,
                lastCard, rounds, lines);
    std::fflush(stdout);

    // Every line runs on a thread of its own, side by side; they mostly wait for replies.
    constexpr std::size_t TransportCount = std::size(Transports);
    std::vector<Totals> results(TransportCount * lines);
    std::vector<std::unique_ptr<QThread>> threads;
    for (std::size_t t = 0; t < TransportCount; ++t) {
        for (int k = 0; k < lines; ++k) {
            const std::size_t slot = t * lines + k;
            threads.emplace_back(QThread::create([&, t, k, slot] {
                results[slot] = Soak(Transports[t], faults, seed + quint32(slot), 1 + k, lines,
                                     rounds, lastCard, folder.path());
            }));
            threads.back()->start();
        }
    }
    for (auto &thread : threads)
        thread->wait();

    std::printf("\n%-6s %6s %10s %8s %9s %7s %7s %8s %8s\n", "line", "rounds", "exchanges",
                "retries", "checked", "named", "silent", "false OK", "seconds");
    Totals all;
    int status = 0;
    for (std::size_t t = 0; t < TransportCount; ++t) {
        Totals transport;
        for (int k = 0; k < lines; ++k)
            Add(transport, results[t * lines + k]);
        if (!transport.error.isEmpty()) {
            std::printf("%-6s %s\n", Transports[t].name, qPrintable(transport.error));
            status = 1;
            continue;
        }
        PrintRow(Transports[t].name, transport);
        Add(all, transport);
    }
    PrintRow("all", all);
    // Until its first frame outside an exchange, a line's first copy can pass for a lost reply.
    std::printf("\nexchanges before each line's first reply frame outside an exchange:");
    for (const qint64 n : all.beforeStray) {
        if (n < 0)
            std::printf(" none");
        else
            std::printf(" %lld", static_cast<long long>(n));
    }
    std::printf("\n");
    std::printf("\nsilent losses: %d\n", all.silent);
    return status != 0 || all.silent != 0 || all.falseOk != 0 ? 1 : 0;
}
