#include "CommandCheck.h"

#include "DeviceDataGroup.h"
#include "Frame.h"

#include <QCoreApplication>

QString ValueProblem(const QString &value)
{
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0))
            return QCoreApplication::translate("CommandCheck",
                                               "the value holds control characters");
        if (u > 0xFF)
            return QCoreApplication::translate(
                "CommandCheck", "the value holds characters the controller cannot take");
    }
    return QString();
}

QString CommandProblem(const QString &deviceId, const QString &code, const QString &value)
{
    if (!IsCatalogueCode(code))
        return QCoreApplication::translate("CommandCheck", "not a parameter code");
    const QString problem = ValueProblem(value);
    if (!problem.isEmpty())
        return problem;
    if (deviceId.size() + code.size() + value.size() > MaxCommandLength)
        return QCoreApplication::translate("CommandCheck",
                                           "the command would be longer than %1 characters")
            .arg(MaxCommandLength);
    return QString();
}
