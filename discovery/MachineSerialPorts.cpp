#include "MachineSerialPorts.h"

#include <QSerialPortInfo>

QStringList MachineSerialPorts(const ComPortMap &map)
{
    QStringList names;
    const QMap<int, QString> assigned = map.assignments();
    for (auto it = assigned.cbegin(); it != assigned.cend(); ++it)
        names << QStringLiteral("COM%1").arg(it.key());
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        if (assigned.values().contains(path))
            continue;
        const int number = map.numberFor(path);
        const QString name = number > 0 ? QStringLiteral("COM%1").arg(number) : path;
        if (!names.contains(name))
            names << name;
    }
    return names;
}
