#include "ClockVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "ControllerSession.h"

#include <QDateTime>
#include <QJsonObject>

int runClockVerb(CliContext &context)
{
    const QStringList &args = context.arguments;
    const QString action = args.value(0);
    QDateTime moment;
    if (action == QLatin1String("set")) {
        const bool now = context.parser.isSet(QStringLiteral("now"));
        if (now == (args.size() == 2) || args.size() > 2) {
            context.err << "clock set wants either --now or \"YYYY-MM-DD hh:mm:ss\"\n";
            return ExitUsage;
        }
        if (!now) {
            moment = QDateTime::fromString(args[1], QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (!moment.isValid()) {
                context.err << "not a date and time of the form YYYY-MM-DD hh:mm:ss: " << args[1]
                            << '\n';
                return ExitUsage;
            }
        }
    } else if (action != QLatin1String("get") || args.size() != 1) {
        context.err << context.usage;
        return ExitUsage;
    }
    ControllerSession::Connection session;
    if (!ControllerSession::open(context, session.comm))
        return ExitFailed;
    ConnectionController &controller = session.controller;
    // The version decides how the clock is read.
    controller.readVersion();
    bool set = true;
    if (action == QLatin1String("set")) {
        // A fixed moment is sent as it is; --now follows the workstation clock.
        const QDateTime fixed = moment;
        set = controller.setDeviceClock(
            [fixed] { return fixed.isValid() ? fixed : QDateTime::currentDateTime(); });
    }
    // The read follows a failed set too: it shows the clock as the controller keeps it.
    const bool read = controller.readDeviceClock() == DeviceClock::ReadOutcome::Read;
    const QString text = controller.deviceTimeText();
    const bool ok = set && read;
    if (context.json) {
        PrintJson(context, {{QStringLiteral("ok"), ok}, {QStringLiteral("deviceTime"), text}});
    } else {
        if (read)
            context.out << text << '\n';
        if (!set)
            context.err << "the controller's clock could not be set\n";
        else if (!read)
            context.err << "the controller's clock could not be read\n";
    }
    return ok ? ExitOk : ExitFailed;
}
