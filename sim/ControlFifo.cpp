#include "ControlFifo.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

ControlFifo::ControlFifo(const QString &path) : path_(path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::stat(native.constData(), &info) != 0) {
        if (::mkfifo(native.constData(), 0600) != 0) {
            error_ = QStringLiteral("%1: cannot make the FIFO: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return;
        }
        made_ = true;
    } else if (!S_ISFIFO(info.st_mode)) {
        error_ = QStringLiteral("%1: exists and is not a FIFO").arg(path);
        return;
    }
    readFd_ = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (readFd_ >= 0)
        keepFd_ = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (readFd_ < 0 || keepFd_ < 0) {
        error_ = QStringLiteral("%1: cannot open the FIFO: %2")
                     .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    input_ = std::make_unique<CommandInput>(readFd_, path);
}

ControlFifo::~ControlFifo()
{
    input_.reset();
    if (keepFd_ >= 0)
        ::close(keepFd_);
    if (readFd_ >= 0)
        ::close(readFd_);
    if (made_)
        QFile::remove(path_);
}
