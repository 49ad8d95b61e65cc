// Fleet backup: one controller alone, then twenty at once, in one run. Each simulated
// controller holds 3 000 cards spread over 1-10500 and is reached over TCP loopback; the
// backup reads its parameters and every card number 1-10500, as kt480ctl fleet backup does.
//
// The simulator answers at memory speed unless told otherwise; a real controller takes time
// to answer each command. The run is made twice: with replies as fast as the simulator gives
// them (the program's own cost, CPU-bound on this machine) and with every reply 1 ms late
// (--reply-ms), a controller that answers in about a millisecond.
#include "SimulatorHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int Controllers = 20;
constexpr int Cards = 3000;
constexpr int HighestCard = 10500;

QMap<int, QByteArray> spreadCards(int deviceSerial)
{
    QMap<int, QByteArray> cards;
    for (int i = 0; i < Cards; ++i) {
        const int number = 1 + int(qint64(i) * HighestCard / Cards);
        cards.insert(
            number,
            EncodedCardRecord(
                QByteArray::number(deviceSerial * 100000LL + number).rightJustified(16, '0'), 1, 0,
                "XXXX", 0));
    }
    return cards;
}

struct Timing
{
    double seconds = 0;
    bool complete = false;
    int cards = 0; // summed over the controllers
};

Timing backup(const std::vector<std::unique_ptr<SimulatorHost>> &sims, int count,
              const QString &folder)
{
    QByteArray site = "name,transport,address,port,id\n";
    for (int i = 0; i < count; ++i)
        site += QStringLiteral("door-%1,tcp,127.0.0.1,%2,1\n")
                    .arg(i + 1, 2, 10, QLatin1Char('0'))
                    .arg(sims[i]->tcpPort())
                    .toUtf8();
    const QString sitePath = QDir(folder).filePath(QStringLiteral("site.csv"));
    QFile file(sitePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(site) != site.size())
        return {};
    file.close();

    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(KT480CTL_PATH),
                  {QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("backup"),
                   sitePath, QDir(folder).filePath(QStringLiteral("backup")),
                   QStringLiteral("--jobs"), QString::number(count)});
    process.waitForFinished(-1);
    Timing timing;
    timing.seconds = double(clock.nsecsElapsed()) / 1e9;
    const QJsonObject summary = QJsonDocument::fromJson(process.readAllStandardOutput()).object();
    timing.complete = process.exitCode() == 0 && summary.value(QStringLiteral("complete")).toBool();
    for (const QJsonValue &c : summary.value(QStringLiteral("controllers")).toArray())
        timing.cards += c.toObject().value(QStringLiteral("cards")).toInt();
    if (!timing.complete)
        std::fprintf(stderr, "%s\n", process.readAllStandardError().constData());
    return timing;
}

void measure(const std::vector<std::unique_ptr<SimulatorHost>> &sims, int replyMs)
{
    FaultSettings faults;
    faults.lateMs = replyMs;
    for (const auto &sim : sims)
        sim->setFaults(faults);
    QTemporaryDir one;
    QTemporaryDir all;
    const Timing single = backup(sims, 1, one.path());
    const Timing fleet = backup(sims, Controllers, all.path());
    std::printf("reply after %d ms: 1 controller %6.2f s (%s, %d cards)   %d controllers "
                "%6.2f s (%s, %d cards)   ratio %.2f\n",
                replyMs, single.seconds, single.complete ? "complete" : "INCOMPLETE", single.cards,
                Controllers, fleet.seconds, fleet.complete ? "complete" : "INCOMPLETE", fleet.cards,
                fleet.seconds / single.seconds);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulators only.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    int replyMs = 1;
    const QStringList arguments = app.arguments();
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--reply-ms")); at > 0)
        replyMs = arguments.value(at + 1).toInt();

    std::vector<std::unique_ptr<SimulatorHost>> sims;
    for (int i = 0; i < Controllers; ++i) {
        SimulatorConfig config;
        config.tcpPort = 0;
        ControllerData data = ControllerData::factory(1);
        data.serialNumber = QByteArray::number(30000000 + i);
        data.cards = spreadCards(i + 1);
        config.controllers = {data};
        sims.push_back(std::make_unique<SimulatorHost>(config));
        if (!sims.back()->isRunning()) {
            std::fprintf(stderr, "simulator: %s\n", qPrintable(sims.back()->errorString()));
            return 1;
        }
    }
    std::printf("fleet backup over TCP loopback, %d cards in 1-%d per controller, card numbers "
                "1-%d read, --jobs = controllers\n",
                Cards, HighestCard, HighestCard);
    measure(sims, 0);
    if (replyMs > 0)
        measure(sims, replyMs);
    return 0;
}
