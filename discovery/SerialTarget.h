#pragma once

#include <QString>

// One serial port a search may try: the name the user sees, its COM number (0 when it has
// none) and, for a port without a number, the device path to open.
struct SerialTarget
{
    QString name;
    int number = 0;
    QString devicePath;
};
