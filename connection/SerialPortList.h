#pragma once

#include <ComPortMap.h>
#include <QStringList>

class Settings;

// The serial ports of the machine as "COM<n>" texts. A device keeps its number across runs:
// numbers given out are stored in the settings ("ComPortAssignments"); assignments from the
// environment (KT480_COM_MAP) are listed too and win over stored ones.
class SerialPortList
{
public:
    explicit SerialPortList(Settings &settings) : settings_(settings) {}

    // Scans the ports, gives each new device a free number and stores the numbers. The map
    // then reaches every listed port; the texts are sorted by number.
    QStringList Refresh(ComPortMap &map);

    // Builds the list from the given device paths; Refresh passes the machine's ports.
    QStringList Build(const QStringList &devicePaths, ComPortMap &map);

private:
    Settings &settings_;
};
