#include "SerialPortOrder.h"

#include <algorithm>

QStringList SortedPortNames(QStringList names)
{
    for (QString &name : names)
        name = name.trimmed();
    std::stable_sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

SerialTarget SerialTargetFor(const QString &name, const ComPortMap &map)
{
    SerialTarget target;
    target.name = name.trimmed();
    if (target.name.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
        target.number = ComPortNumber(target.name);
    if (target.number > 0)
        target.devicePath = map.devicePath(target.number);
    else if (target.name.startsWith(QLatin1Char('/')))
        target.devicePath = target.name;
    return target;
}

QList<SerialTarget> SerialTargetsInSearchOrder(const QStringList &names, const ComPortMap &map)
{
    QList<SerialTarget> targets;
    // A device named twice (COM3 and its path, or com3) is searched once: two searches on
    // one line would shut each other out and report a port as unusable that is found.
    QStringList devices;
    const QStringList sorted = SortedPortNames(names);
    for (auto it = sorted.crbegin(); it != sorted.crend(); ++it) {
        const SerialTarget target = SerialTargetFor(*it, map);
        if (target.number <= 0 && target.devicePath.isEmpty())
            continue;
        const QString device = target.devicePath.isEmpty()
                                   ? QStringLiteral("COM%1").arg(target.number)
                                   : target.devicePath;
        if (devices.contains(device))
            continue;
        devices << device;
        targets << target;
    }
    return targets;
}
