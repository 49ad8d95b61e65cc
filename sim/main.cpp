#include "CommandInput.h"
#include "ControlFifo.h"
#include "ControllerJson.h"
#include "SimCommandLine.h"
#include "SimulatorHost.h"
#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

QList<ControllerData> Snapshot(SimulatorHost &host)
{
    QList<ControllerData> list;
    for (int i = 0; i < host.controllerCount(); ++i)
        list << host.controller(i).snapshot();
    return list;
}

void SaveState(SimulatorHost &host, const QString &path)
{
    QString error;
    if (!path.isEmpty() && !SaveControllersFile(path, Snapshot(host), &error))
        std::fprintf(stderr, "kt480sim: cannot save %s: %s\n", qPrintable(path), qPrintable(error));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kt480sim"));

    QString message;
    int exitCode = 0;
    std::optional<SimCommandLine> line =
        SimCommandLine::parse(QCoreApplication::arguments(), &message, &exitCode);
    if (!line) {
        std::fprintf(exitCode == 0 ? stdout : stderr, "%s\n", qPrintable(message));
        return exitCode;
    }
    if (!line->stateFile.isEmpty() && QFileInfo::exists(line->stateFile)) {
        QString error;
        const auto loaded = LoadControllersFile(line->stateFile, &error);
        if (!loaded || loaded->isEmpty()) {
            std::fprintf(stderr, "kt480sim: cannot load %s: %s\n", qPrintable(line->stateFile),
                         qPrintable(loaded ? QStringLiteral("no controllers") : error));
            return 1;
        }
        line->config.controllers = *loaded;
    }

    const TerminationSignals termination;
    SimulatorHost host(line->config);
    if (!host.isRunning()) {
        std::fprintf(stderr, "kt480sim: %s\n", qPrintable(host.errorString()));
        return 1;
    }
    const QString address = host.bindAddress().toString();
    if (line->config.tcpPort)
        std::printf("tcp %s:%u\n", qPrintable(address), host.tcpPort());
    if (line->config.udpPort)
        std::printf("udp %s:%u\n", qPrintable(address), host.udpPort());
    if (line->config.serial)
        std::printf("serial %s\n", qPrintable(host.serialPath()));
    if (line->config.reader)
        std::printf("reader %s\n", qPrintable(host.readerPath()));
    std::fflush(stdout);

    const QString stateFile = line->stateFile;
    SaveState(host, stateFile);
    // Bulk transfers change the state thousands of times: save at most every 200 ms.
    QTimer saveTimer;
    saveTimer.setSingleShot(true);
    saveTimer.setInterval(200);
    QObject::connect(&saveTimer, &QTimer::timeout, [&] { SaveState(host, stateFile); });
    if (!stateFile.isEmpty()) {
        QObject::connect(&host, &SimulatorHost::controllerChanged, &saveTimer, [&] {
            if (!saveTimer.isActive())
                saveTimer.start();
        });
    }

    const auto present = [&host](const QByteArray &code) { host.presentCard(code); };
    const CommandInput commands(STDIN_FILENO, QStringLiteral("standard input"));
    QObject::connect(&commands, &CommandInput::cardPresented, &host, present);
    std::unique_ptr<ControlFifo> control;
    if (!line->controlPath.isEmpty()) {
        control = std::make_unique<ControlFifo>(line->controlPath);
        if (!control->isOpen()) {
            std::fprintf(stderr, "kt480sim: %s\n", qPrintable(control->errorString()));
            return 1;
        }
        QObject::connect(control->input(), &CommandInput::cardPresented, &host, present);
        std::printf("control %s\n", qPrintable(line->controlPath));
        std::fflush(stdout);
    }
    QObject::connect(&termination, &TerminationSignals::received, &app, &QCoreApplication::quit);

    const int result = QCoreApplication::exec();
    SaveState(host, stateFile);
    return result;
}
