#include "LineSpeed.h"

#include <termios.h>

qint32 LineSpeed(int masterFd)
{
    termios tio{};
    if (masterFd < 0 || tcgetattr(masterFd, &tio) != 0)
        return 0;
    switch (cfgetospeed(&tio)) {
    case B1200:
        return 1200;
    case B2400:
        return 2400;
    case B4800:
        return 4800;
    case B9600:
        return 9600;
    case B19200:
        return 19200;
    case B38400:
        return 38400;
    case B57600:
        return 57600;
    case B115200:
        return 115200;
    case B230400:
        return 230400;
    case B460800:
        return 460800;
    case B921600:
        return 921600;
    default:
        return 0;
    }
}
