#include "DeviceIdText.h"

QString DeviceIdText(int id)
{
    return QStringLiteral("%1").arg(id, DeviceIdDigits, 10, QLatin1Char('0'));
}
