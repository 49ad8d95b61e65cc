#pragma once

#include "ComPortMap.h"

#include <QStringList>

// The serial ports of the machine for a search without a window: every port of the map
// (KT480_COM_MAP) as "COM<n>", and every other port the system lists, as "COM<n>" when its
// name gives a number and as its device path otherwise.
QStringList MachineSerialPorts(const ComPortMap &map);
