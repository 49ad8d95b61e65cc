#include "DeviceId.h"

QString NormaliseDeviceId(const QString &boxText)
{
    bool ok = false;
    int number = boxText.trimmed().toInt(&ok);
    if (!ok || number < 0)
        number = 1;
    return QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'));
}
