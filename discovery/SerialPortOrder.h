#pragma once

#include "ComPortMap.h"
#include "SerialTarget.h"

#include <QList>
#include <QStringList>

// Port names as a search lists them: sorted by text, case-insensitively (COM1, COM10, COM3).
QStringList SortedPortNames(QStringList names);

// The ports to try, in the order they are tried: the sorted list from its last entry to its
// first. "COM<n>" names reach their device through the map; a name that is a device path is
// opened as it is; any other name has no port behind it and is left out, and so is a device
// already listed under another name.
QList<SerialTarget> SerialTargetsInSearchOrder(const QStringList &names, const ComPortMap &map);

// One port by its name, as above; a target without number and path when there is none.
SerialTarget SerialTargetFor(const QString &name, const ComPortMap &map);
