#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ < 0) {
        fail("posix_openpt");
        return;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        fail("grantpt/unlockpt");
        return;
    }
    const char *name = ptsname(master_);
    if (!name) {
        fail("ptsname");
        return;
    }
    slavePath_ = QString::fromLocal8Bit(name);
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (slave_ < 0) {
        fail("open slave");
        return;
    }
    termios tio{};
    if (tcgetattr(slave_, &tio) != 0) {
        fail("tcgetattr");
        return;
    }
    cfmakeraw(&tio);
    if (tcsetattr(slave_, TCSANOW, &tio) != 0)
        fail("tcsetattr");
}

PseudoTerminal::~PseudoTerminal()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

void PseudoTerminal::fail(const char *what)
{
    error_ =
        QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(strerror(errno)));
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
    slave_ = -1;
    master_ = -1;
}

QByteArray PseudoTerminal::readAvailable()
{
    QByteArray received;
    if (master_ < 0)
        return received;
    char chunk[1024];
    for (;;) {
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0)
            break;
        received.append(chunk, n);
    }
    return received;
}

void PseudoTerminal::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (master_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        // A full line buffer drops the rest, as an unread serial line would.
        if (n <= 0)
            break;
        done += n;
    }
}
