#include "ControllerSession.h"

#include "CliContext.h"
#include "Comm.h"
#include "LinkOptions.h"
#include "ProgressState.h"

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ControllerSession {

namespace {

QString fourDigits(int id)
{
    return QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'));
}

bool askDeviceId(Comm &comm, QString &id)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (comm.CommExchange(QStringLiteral("0000AC"), 0) == Comm::Accepted &&
            comm.ReplyLength() > 7) {
            bool ok = false;
            const int number = comm.ReplyText().left(4).toInt(&ok);
            if (ok && number > 0) {
                id = fourDigits(number);
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool open(CliContext &context, Comm &comm)
{
    if (!context.link.open(comm)) {
        context.err << context.link.error() << '\n';
        return false;
    }
    comm.setDeviceIDText(fourDigits(context.link.deviceId()));
    if (context.link.deviceIdIsAuto()) {
        QString id;
        if (!askDeviceId(comm, id)) {
            context.err << "no controller answered 0000AC\n";
            return false;
        }
        comm.setDeviceIDText(id);
    }
    return true;
}

QString readVersion(Comm &comm)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (comm.CommExchange(comm.DeviceIDText() + QStringLiteral("DB"), 6) == Comm::Accepted &&
            comm.ReplyLength() > 7)
            return comm.ReplyText();
    }
    return {};
}

void showProgress(CliContext &context, ProgressState &progress)
{
#ifdef Q_OS_WIN
    const bool terminal = _isatty(_fileno(stderr)) != 0;
#else
    const bool terminal = isatty(fileno(stderr)) != 0;
#endif
    if (context.json || !terminal)
        return;
    QObject::connect(&progress, &ProgressState::changed, &progress, [&context, &progress] {
        if (progress.running())
            context.err << '\r' << progress.text() << "   " << Qt::flush;
    });
    QObject::connect(&progress, &ProgressState::finished, &progress, [&context] {
        context.err << '\n' << Qt::flush;
    });
}

} // namespace ControllerSession
