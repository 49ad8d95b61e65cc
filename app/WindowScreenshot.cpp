#include "WindowScreenshot.h"

#include "AppContext.h"
#include "TfrmKT480NT5.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>

WindowScreenshot::WindowScreenshot(TfrmKT480NT5 &window, const QString &filePath)
    : QObject(&window), window_(window), filePath_(filePath)
{
    poll_.setInterval(200);
    connect(&poll_, &QTimer::timeout, this, &WindowScreenshot::check);
    poll_.start();
}

void WindowScreenshot::check()
{
    const bool settled =
        window_.initialised() && !window_.connecting() &&
        (!window_.context().comm.DeviceConnected() || !window_.pnCur->text().isEmpty());
    if ((settled && !window_.pnNow->text().isEmpty()) || --ticksLeft_ <= 0)
        save();
}

void WindowScreenshot::save()
{
    poll_.stop();
    const bool written = window_.grab().save(filePath_);
    QCoreApplication::exit(written ? 0 : 1);
}
