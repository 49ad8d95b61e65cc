#pragma once

#include <QDateTime>
#include <functional>

// How the main window starts, from the command line or from a test.
struct StartOptions
{
    // Shows the UDP tab and the "Record data" and "SD CARD Backup/Restore" buttons.
    bool expert = false;
    // The first clock tick reconnects over the stored transport; off for a window that must
    // reach nothing it has not been pointed at.
    bool automaticConnect = true;
    // The language used when the settings hold none (0 English, 1 Traditional, 2 Simplified).
    int systemLanguageIndex = 0;
    // The workstation clock: shown in "System Time", sent by Syn, and timing the automatic read.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
};
