#pragma once

#include "Comm.h"
#include "Language.h"
#include "ParamTransfer.h"
#include "ProgressState.h"
#include "ScriptedPrompt.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "UserPrompt.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

// A simulated controller reached over TCP or a pseudo-terminal, its own settings file and
// folder, and the shared state a parameter operation needs. Retry pauses are short.
struct ParamSite
{
    static constexpr std::chrono::milliseconds TestPause{2};

    explicit ParamSite(Via via, const ControllerData &data = ControllerData::factory())
        : settings(folder.filePath(QStringLiteral("settings.ini")))
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.serial = true;
        config.controllers = {data};
        sim = std::make_unique<SimulatorHost>(config);
        OpenSimLink(comm, *sim, via);
        QObject::connect(&comm, &Comm::logLine, [this](const QString &line) { log << line; });
    }

    ControllerData state() { return sim->controller().snapshot(); }
    // Command texts sent, in order ("0001AF13"), taken from the link's log lines.
    QStringList sentCommands() const
    {
        QStringList commands;
        for (const QString &line : log) {
            const auto open = line.indexOf(QLatin1Char('['));
            const auto close = line.indexOf(QLatin1Char(']'), open);
            if (open >= 0 && close > open)
                commands << line.mid(open + 1, close - open - 1);
        }
        return commands;
    }
    QString path(const QString &name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    Settings settings;
    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    ProgressState progress;
    SharedFlag clockReadPaused;
    Language language;
    ScriptedPrompt prompt;
    ParamTransfer transfer{comm, progress, clockReadPaused, TestPause};
    QStringList log;
};

inline void AddVias()
{
    QTest::addColumn<Via>("via");
    QTest::newRow("tcp") << Via::Tcp;
    QTest::newRow("pty") << Via::Serial;
}
