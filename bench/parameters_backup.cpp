// A full parameter backup and restore against the in-process simulator over TCP loopback:
// prints the time of each and the exchanges per second.
//
//   parameters_backup [--pause MS] [--records N]
//
// --pause is the wait after a failed attempt (500 ms in the product); codes the controller
// lacks cost five attempts each, so the pause dominates a backup of a sparse controller.
// --records is the number of records per device data group family (default 20).

#include "Comm.h"
#include "Language.h"
#include "ParamFileTransfer.h"
#include "ParamTransfer.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "SimulatorHost.h"
#include "UserPrompt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

class NoPrompt : public UserPrompt
{
public:
    void message(const QString &, const QString &) override {}
    bool question(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }
};

void Print(const char *what, qint64 ms, quint64 exchanges, int rows, bool ok)
{
    const double seconds = static_cast<double>(ms) / 1000.0;
    std::printf("%-8s %s  rows %5d  exchanges %6llu  time %8.3f s  %8.1f exchanges/s\n", what,
                ok ? "ok    " : "FAILED", rows, static_cast<unsigned long long>(exchanges), seconds,
                seconds > 0 ? static_cast<double>(exchanges) / seconds : 0.0);
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulator only.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption pauseOption(QStringLiteral("pause"),
                                         QStringLiteral("Retry pause in ms (product: 500)."),
                                         QStringLiteral("ms"), QStringLiteral("500"));
    const QCommandLineOption recordsOption(QStringLiteral("records"),
                                           QStringLiteral("Records per group family."),
                                           QStringLiteral("n"), QStringLiteral("20"));
    parser.addOption(pauseOption);
    parser.addOption(recordsOption);
    parser.process(app);
    const int pauseMs = parser.value(pauseOption).toInt();
    const int records = qBound(0, parser.value(recordsOption).toInt(), 159);

    QTemporaryDir folder;
    Settings settings(folder.filePath(QStringLiteral("settings.ini")));
    SimulatorConfig config;
    config.tcpPort = 0;
    config.controllers = {ControllerData::factory(1, records), ControllerData::factory(2, 0)};
    SimulatorHost sim(config);
    if (!sim.isRunning()) {
        std::fprintf(stderr, "simulator: %s\n", qPrintable(sim.errorString()));
        return 1;
    }
    Comm comm;
    comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort());
    QEventLoop wait;
    QObject::connect(&comm, &Comm::tcpConnected, &wait, &QEventLoop::quit);
    QTimer::singleShot(5000, &wait, &QEventLoop::quit);
    wait.exec();

    ProgressState progress;
    SharedFlag clockReadPaused;
    Language language;
    NoPrompt prompt;
    ParamTransfer transfer(comm, progress, clockReadPaused, std::chrono::milliseconds(pauseMs));
    ParamFileTransfer files(transfer, settings, prompt, language);
    const QString file = folder.filePath(QStringLiteral("param.xml"));
    std::printf("retry pause %d ms, %d records per group family, TCP loopback\n", pauseMs, records);

    QElapsedTimer clock;
    clock.start();
    const ParamResult backup = files.backup(file);
    Print("backup", clock.elapsed(), transfer.exchangeCount(), files.table().RecordCount(),
          backup.success);

    // The restore goes to the second controller on the same link (Device ID 0002).
    comm.setDeviceIDText(QStringLiteral("0002"));
    const quint64 before = transfer.exchangeCount();
    clock.restart();
    const ParamResult restore = files.restore(file);
    Print("restore", clock.elapsed(), transfer.exchangeCount() - before,
          files.table().RecordCount(), restore.success);
    return backup.success && restore.success ? 0 : 1;
}
