#include "ComPortMap.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <limits>

namespace {

// Numbers for ports nobody assigned, in blocks that never overlap, so that every number leads
// to one device and back: ttyS0 to ttyS98 are COM1 to COM99 (ttyS0 is COM1 as on a PC),
// ttyUSB0 to ttyUSB99 COM100 to COM199, ttyACM0 on COM200 on.
constexpr int UsbBase = 100;
constexpr int AcmBase = 200;

int numberFromDeviceName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^(ttyS|ttyUSB|ttyACM|COM)(\\d+)$"));
    const QRegularExpressionMatch m = pattern.match(name);
    if (!m.hasMatch())
        return 0;
    bool ok = false;
    const int n = m.captured(2).toInt(&ok);
    if (!ok)
        return 0;
    const QString kind = m.captured(1);
    if (kind == QLatin1String("COM"))
        return n;
    if (kind == QLatin1String("ttyS"))
        return n < UsbBase - 1 ? n + 1 : 0;
    if (kind == QLatin1String("ttyUSB"))
        return n < AcmBase - UsbBase ? UsbBase + n : 0;
    return n <= std::numeric_limits<int>::max() - AcmBase ? AcmBase + n : 0;
}

// The device a number stands for when nobody assigned it.
QString derivedDevicePath(int number)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    if (number < UsbBase)
        return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    if (number < AcmBase)
        return QStringLiteral("/dev/ttyUSB%1").arg(number - UsbBase);
    return QStringLiteral("/dev/ttyACM%1").arg(number - AcmBase);
#endif
}

} // namespace

int ComPortNumber(const QString &portName)
{
    bool ok = false;
    const int n = portName.mid(3).trimmed().toInt(&ok);
    return ok && n > 0 ? n : 0;
}

ComPortMap ComPortMap::parse(const QString &text)
{
    ComPortMap map;
    static const QRegularExpression separators(QStringLiteral("[;\\n]"));
    for (const QString &entry : text.split(separators, Qt::SkipEmptyParts)) {
        const int eq = entry.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        QString key = entry.left(eq).trimmed();
        if (key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive))
            key = key.mid(3);
        bool ok = false;
        const int n = key.toInt(&ok);
        const QString path = entry.mid(eq + 1).trimmed();
        if (ok && n > 0 && !path.isEmpty())
            map.assign(n, path);
    }
    return map;
}

ComPortMap ComPortMap::fromEnvironment()
{
    return parse(qEnvironmentVariable("KT480_COM_MAP"));
}

void ComPortMap::assign(int number, const QString &devicePath)
{
    for (auto it = byNumber_.begin(); it != byNumber_.end();) {
        if (it.value() == devicePath && it.key() != number)
            it = byNumber_.erase(it);
        else
            ++it;
    }
    byNumber_.insert(number, devicePath);
}

void ComPortMap::merge(const ComPortMap &other)
{
    for (auto it = other.byNumber_.cbegin(); it != other.byNumber_.cend(); ++it)
        assign(it.key(), it.value());
}

QString ComPortMap::toText() const
{
    QStringList entries;
    for (auto it = byNumber_.cbegin(); it != byNumber_.cend(); ++it)
        entries << QStringLiteral("%1=%2").arg(it.key()).arg(it.value());
    return entries.join(QLatin1Char(';'));
}

QString ComPortMap::devicePath(int number) const
{
    if (number <= 0)
        return {};
    const auto it = byNumber_.constFind(number);
    if (it != byNumber_.cend())
        return it.value();
    const QString path = derivedDevicePath(number);
    // A device assigned to another number is reached through that number only.
    return byNumber_.key(path, 0) != 0 ? QString() : path;
}

int ComPortMap::numberFor(const QString &devicePathOrName) const
{
    for (auto it = byNumber_.cbegin(); it != byNumber_.cend(); ++it) {
        if (it.value() == devicePathOrName)
            return it.key();
    }
    const int n = numberFromDeviceName(QFileInfo(devicePathOrName).fileName());
    // A number taken by an explicit assignment belongs to that device.
    return byNumber_.contains(n) ? 0 : n;
}
