#include "DeviceId.h"

#include "DeviceIdText.h"

namespace {
constexpr int MaxDeviceId = 9999;
} // namespace

QString NormaliseDeviceId(const QString &boxText)
{
    bool ok = false;
    int number = boxText.trimmed().toInt(&ok);
    // Every command carries exactly four digits: a longer number would shift the code.
    if (!ok || number < 0 || number > MaxDeviceId)
        number = 1;
    return DeviceIdText(number);
}
