#include "ResponsivePause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void PauseResponsively(int milliseconds)
{
    if (milliseconds <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
