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
    const QStringList sorted = SortedPortNames(names);
    for (auto it = sorted.crbegin(); it != sorted.crend(); ++it) {
        const SerialTarget target = SerialTargetFor(*it, map);
        if (target.number > 0 || !target.devicePath.isEmpty())
            targets << target;
    }
    return targets;
}
