#pragma once

#include "SimulatorConfig.h"

#include <QString>
#include <QStringList>
#include <optional>

// The kt480sim command line, turned into what the program runs.
struct SimCommandLine
{
    SimulatorConfig config;
    QString stateFile;   // empty: nothing is loaded or saved
    QString controlPath; // empty: commands come from standard input only

    // nullopt with a message (or the help text) in *message when the program should stop.
    static std::optional<SimCommandLine> parse(const QStringList &arguments, QString *message,
                                               int *exitCode);
};
