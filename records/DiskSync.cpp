#include "DiskSync.h"

#include <QFile>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

bool SyncFileToDisk(QFile &file)
{
    if (!file.flush())
        return false;
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#elif defined(Q_OS_LINUX)
    // The data and the size, not the access times: enough to read the file back.
    return ::fdatasync(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

void SyncFolderToDisk(const QString &folder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
#else
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#endif
}
