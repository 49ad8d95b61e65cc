#include "PermissionAdvice.h"

#include <sys/stat.h>

namespace {

bool Joinable(const QString &group)
{
    bool number = false;
    group.toUInt(&number);
    return !group.isEmpty() && !number && group != QLatin1String("root");
}

} // namespace

QString PermissionAdvice(const QString &owner, const QString &group, uint mode)
{
    if (Joinable(group) && (mode & S_IRGRP) && (mode & S_IWGRP))
        return QStringLiteral("permission denied: the device belongs to the group %1; add the "
                              "user to it once with  sudo adduser $USER %1  and log in again")
            .arg(group);
    return QStringLiteral("permission denied: the device belongs to the user %1 and the group "
                          "%2 with mode %3, and no group a user should join may open it; a udev "
                          "rule or the administrator must grant this user access")
        .arg(owner, group, QString::number(mode & 07777, 8).rightJustified(3, u'0'));
}
