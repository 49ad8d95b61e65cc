#include "WindowScreenshot.h"

#include "AppContext.h"
#include "TfrmKT480NT5.h"

#include <QCoreApplication>
#include <QPixmap>

namespace {
constexpr int TimeLimitMs = 20000;
}

WindowScreenshot::WindowScreenshot(TfrmKT480NT5 &window, const QString &filePath)
    : QObject(&window), window_(window), filePath_(filePath)
{
    // Looked at once the step that reported has finished, so that the picture shows the
    // window as the step leaves it.
    const ConnectionController *connection = &window_.controller();
    connect(connection, &ConnectionController::connectingChanged, this, &WindowScreenshot::check,
            Qt::QueuedConnection);
    connect(connection, &ConnectionController::deviceTimeChanged, this, &WindowScreenshot::check,
            Qt::QueuedConnection);
    connect(connection, &ConnectionController::systemTimeChanged, this, &WindowScreenshot::check,
            Qt::QueuedConnection);
    timeLimit_.setSingleShot(true);
    connect(&timeLimit_, &QTimer::timeout, this, &WindowScreenshot::save);
    timeLimit_.start(TimeLimitMs);
}

void WindowScreenshot::check()
{
    const ConnectionController &connection = window_.controller();
    const bool settled =
        connection.initialised() && !connection.connecting() &&
        (!window_.context().comm.DeviceConnected() || !connection.deviceTimeText().isEmpty());
    if (settled && !connection.systemTimeText().isEmpty())
        save();
}

void WindowScreenshot::save()
{
    timeLimit_.stop();
    disconnect(&window_.controller(), nullptr, this, nullptr);
    const bool written = window_.grab().save(filePath_);
    QCoreApplication::exit(written ? 0 : 1);
}
