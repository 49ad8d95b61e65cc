#include "CommandCheck.h"

#include "DeviceDataGroup.h"
#include "Frame.h"

QString ValueProblem(const QString &value)
{
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            return QStringLiteral("the value holds control characters");
        if (u > 0xFF)
            return QStringLiteral("the value holds characters the controller cannot take");
    }
    return QString();
}

QString CommandProblem(const QString &deviceId, const QString &code, const QString &value)
{
    if (!IsCatalogueCode(code))
        return QStringLiteral("not a parameter code");
    const QString problem = ValueProblem(value);
    if (!problem.isEmpty())
        return problem;
    if (deviceId.size() + code.size() + value.size() > MaxCommandLength)
        return QStringLiteral("the command would be longer than %1 characters")
            .arg(MaxCommandLength);
    return QString();
}
