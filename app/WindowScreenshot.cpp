#include "WindowScreenshot.h"

#include "AppContext.h"
#include "TfrmKT480NT5.h"

#include <QCoreApplication>
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
    const ConnectionController &connection = window_.controller();
    const bool settled =
        connection.initialised() && !connection.connecting() &&
        (!window_.context().comm.DeviceConnected() || !connection.deviceTimeText().isEmpty());
    if ((settled && !connection.systemTimeText().isEmpty()) || --ticksLeft_ <= 0)
        save();
}

void WindowScreenshot::save()
{
    poll_.stop();
    const bool written = window_.grab().save(filePath_);
    QCoreApplication::exit(written ? 0 : 1);
}
