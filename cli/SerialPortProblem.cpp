#include "SerialPortProblem.h"

#include "PermissionAdvice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folders and the name under which Qt's serial port keeps the lock of a device it opened
// ("LCK..ttyUSB0", "LCK..pts_5").
const char *const LockFolders[] = {"/var/lock",         "/etc/locks", "/var/spool/locks",
                                   "/var/spool/uucp",   "/tmp",       "/var/tmp",
                                   "/var/lock/lockdev", "/run/lock"};

QString LockName(const QString &devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    return QStringLiteral("LCK..") + name.replace(u'/', u'_');
}

// "kt480ctl, process 1234" for the program whose lock file names it; empty when none does.
QString LockHolder(const QString &devicePath)
{
    for (const char *folder : LockFolders) {
        const QString path = QDir(QLatin1String(folder)).filePath(LockName(devicePath));
        if (!QFileInfo::exists(path))
            continue;
        qint64 pid = 0;
        QString host;
        QString application;
        if (QLockFile(path).getLockInfo(&pid, &host, &application))
            return QStringLiteral("%1, process %2").arg(application).arg(pid);
    }
    return {};
}

// The advice for a device this user may not open, from its owner, group and mode.
QString PermissionProblem(const QString &devicePath)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(devicePath).constData(), &info) != 0)
        return QStringLiteral("permission denied");
    const passwd *user = ::getpwuid(info.st_uid);
    const group *owners = ::getgrgid(info.st_gid);
    return PermissionAdvice(
        user ? QString::fromLocal8Bit(user->pw_name) : QString::number(info.st_uid),
        owners ? QString::fromLocal8Bit(owners->gr_name) : QString::number(info.st_gid),
        info.st_mode);
}

} // namespace

QString SerialPortProblem(const QString &devicePath)
{
    if (!QFileInfo::exists(devicePath))
        return QStringLiteral("no such device");
    const int descriptor =
        ::open(QFile::encodeName(devicePath).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const int error = errno;
    if (descriptor >= 0)
        ::close(descriptor);
    if (descriptor < 0 && (error == EACCES || error == EPERM))
        return PermissionProblem(devicePath);
    if (descriptor < 0 && error == EBUSY) {
        const QString holder = LockHolder(devicePath);
        return holder.isEmpty() ? QStringLiteral("busy: another program has it open")
                                : QStringLiteral("busy: %1 has it open").arg(holder);
    }
    if (descriptor < 0)
        return QString::fromLocal8Bit(std::strerror(error));
    const QString holder = LockHolder(devicePath);
    if (!holder.isEmpty())
        return QStringLiteral("locked by another program (%1)").arg(holder);
    return QStringLiteral("it opens, but not as a serial line with these settings");
}
