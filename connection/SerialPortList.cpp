#include "SerialPortList.h"

#include <QSerialPortInfo>
#include <Settings.h>
#include <algorithm>

namespace {
const QString AssignmentsName = QStringLiteral("ComPortAssignments");

int FreeNumber(const ComPortMap &stored, const ComPortMap &environment)
{
    int number = 1;
    while (stored.assignments().contains(number) || environment.assignments().contains(number))
        ++number;
    return number;
}
} // namespace

QStringList SerialPortList::Refresh(ComPortMap &map)
{
    QStringList paths;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        paths << info.systemLocation();
    return Build(paths, map);
}

QStringList SerialPortList::Build(const QStringList &devicePaths, ComPortMap &map)
{
    const ComPortMap environment = ComPortMap::fromEnvironment();
    ComPortMap stored = ComPortMap::parse(settings_.LoadSetting(AssignmentsName));
    QList<int> numbers = environment.assignments().keys();
    bool storedChanged = false;
    for (const QString &path : devicePaths) {
        if (environment.assignments().values().contains(path))
            continue;
        int number = stored.assignments().key(path, 0);
        if (number == 0 || environment.assignments().contains(number)) {
            number = stored.numberFor(path);
            if (number <= 0 || environment.assignments().contains(number))
                number = FreeNumber(stored, environment);
            stored.assign(number, path);
            storedChanged = true;
        }
        numbers << number;
    }
    if (storedChanged) {
        settings_.SaveSetting(AssignmentsName, stored.toText());
        settings_.sync();
    }
    map = stored;
    map.merge(environment);
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QStringList texts;
    for (const int number : numbers)
        texts << QStringLiteral("COM%1").arg(number);
    return texts;
}
