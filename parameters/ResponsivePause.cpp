#include "ResponsivePause.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

void PauseResponsively(std::chrono::milliseconds pause)
{
    if (pause.count() <= 0) {
        QCoreApplication::processEvents();
        return;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(pause);
    loop.exec();
}
