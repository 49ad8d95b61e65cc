#include "ResponsivePause.h"

#include <QEventLoop>
#include <QTimer>

void PauseResponsively(std::chrono::milliseconds pause)
{
    if (pause.count() <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(pause, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
