#include "OrphanedLock.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

// Far longer than a running program takes from creating the file to writing its details.
constexpr qint64 StartingMs = 100;

bool HeldByAProgram(const QString &lockPath)
{
#ifdef Q_OS_UNIX
    // The program that creates a lock file locks it at once and keeps it locked.
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    if (!held)
        ::flock(fd, LOCK_UN);
    ::close(fd);
    return held;
#else
    // Elsewhere the program's open handle keeps the file from being opened for writing.
    QFile file(lockPath);
    return file.exists() && !file.open(QIODevice::ReadWrite);
#endif
}

bool IsOrphaned(const QString &lockPath)
{
    QFileInfo info(lockPath);
    if (!info.exists() || info.size() != 0)
        return false;
    const qint64 age = info.lastModified().msecsTo(QDateTime::currentDateTime());
    if (age >= 0 && age < StartingMs)
        QThread::msleep(static_cast<unsigned long>(StartingMs - age));
    info.refresh();
    return info.exists() && info.size() == 0 && !HeldByAProgram(lockPath);
}

} // namespace

bool RemoveOrphanedLockFiles(const QString &lockPath)
{
    QStringList chain{lockPath};
    for (QString next = lockPath + QStringLiteral(".rmlock"); QFileInfo::exists(next);
         next += QStringLiteral(".rmlock"))
        chain << next;
    bool removed = false;
    // The innermost first: each guards the removal of the one before it.
    for (auto it = chain.crbegin(); it != chain.crend(); ++it) {
        if (IsOrphaned(*it) && QFile::remove(*it))
            removed = true;
    }
    return removed;
}
