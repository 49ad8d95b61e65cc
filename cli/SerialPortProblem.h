#pragma once

#include <QString>

// Why a serial device could not be opened, in words a person can act on: there is no such
// device, the user may not use it (and how to be allowed), or another program has it open or
// locked (and which, where its lock file names it). Found by trying the device again after the
// link failed to open it.
QString SerialPortProblem(const QString &devicePath);
