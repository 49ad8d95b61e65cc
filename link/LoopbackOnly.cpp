#include "LoopbackOnly.h"

#include <QCoreApplication>
#include <QHostAddress>

bool LoopbackOnly()
{
    return qEnvironmentVariableIntValue("KT480_LOOPBACK_ONLY") == 1;
}

bool HostAllowed(const QString &host)
{
    if (!LoopbackOnly())
        return true;
    const QString trimmed = host.trimmed();
    if (trimmed.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(trimmed);
    return !address.isNull() && address.isLoopback();
}

QString HostRefusedText(const QString &host)
{
    return QCoreApplication::translate(
               "LoopbackOnly", "%1 is outside 127.0.0.0/8 and KT480_LOOPBACK_ONLY=1 is set: "
                               "refused, nothing was sent")
        .arg(host.trimmed());
}
