#include "LineSettingsList.h"

#include <algorithm>

QStringList LineSettingsList()
{
    return {QStringLiteral("4800,n,8,1"),   QStringLiteral("4800,e,8,1"),
            QStringLiteral("9600,n,8,1"),   QStringLiteral("9600,e,8,1"),
            QStringLiteral("19200,n,8,1"),  QStringLiteral("19200,e,8,1"),
            QStringLiteral("38400,n,8,1"),  QStringLiteral("38400,e,8,1"),
            QStringLiteral("57600,n,8,1"),  QStringLiteral("57600,e,8,1"),
            QStringLiteral("115200,n,8,1"), QStringLiteral("115200,e,8,1"),
            QStringLiteral("460800,n,8,1"), QStringLiteral("460800,e,8,1"),
            QStringLiteral("921600,n,8,1"), QStringLiteral("921600,e,8,1")};
}

QString DefaultLineSettings()
{
    return QStringLiteral("19200,e,8,1");
}

QStringList LineSettingsSearchOrder()
{
    QStringList order = LineSettingsList();
    std::reverse(order.begin(), order.end());
    return order;
}
