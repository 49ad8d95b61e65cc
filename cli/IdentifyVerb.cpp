#include "IdentifyVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "ControllerSession.h"
#include "DeviceId.h"
#include "LinkOptions.h"
#include "ReplyTally.h"

#include <QJsonObject>

int runIdentifyVerb(CliContext &context)
{
    if (!context.arguments.isEmpty()) {
        context.err << context.usage;
        return ExitUsage;
    }
    ControllerSession::Connection session;
    if (!ControllerSession::open(context, session.comm))
        return ExitFailed;
    const ReplyTally before = session.comm.replyTally();
    IdentifyResult result = session.controller.identifyOpenLink();
    // The main window asks for the SD card over UDP only; here every link gets the answer.
    if (result.connected && !context.link.isUdp()) {
        const std::optional<QString> label = session.controller.readSdCardLabel();
        result.sdCardAnswered = label.has_value();
        result.sdCardLabel = label.value_or(QString());
    }
    // A reply nobody asked for may have passed for one of the answers shown.
    const quint64 strays = session.comm.replyTally().straysSince(before);
    const bool ok = result.connected && result.sdCardAnswered && strays == 0;
    // The controller answered the broadcast query with another Device ID than --id: the other
    // verbs, which do not ask, would get no answer with that --id.
    const QString asked = NormaliseDeviceId(QString::number(context.link.deviceId()));
    const QString answered = session.comm.DeviceIDText();
    const bool otherId = result.connected && !context.link.deviceIdIsAuto() && answered != asked;
    if (context.json) {
        const QJsonObject object{{QStringLiteral("identified"), result.connected},
                                 {QStringLiteral("serialNumber"), result.serialNumber},
                                 {QStringLiteral("version"), result.version},
                                 {QStringLiteral("deviceId"), answered},
                                 {QStringLiteral("deviceIdAsked"), asked},
                                 {QStringLiteral("sdCard"), result.sdCardLabel},
                                 {QStringLiteral("sdCardAnswered"), result.sdCardAnswered},
                                 {QStringLiteral("strayReplies"), qint64(strays)}};
        PrintJson(context, object);
    } else if (result.connected) {
        const QString card = !result.sdCardAnswered         ? QStringLiteral("no answer")
                             : result.sdCardLabel.isEmpty() ? QStringLiteral("none")
                                                            : result.sdCardLabel;
        context.out << "S/N: " << result.serialNumber << '\n'
                    << "VER: " << result.version << '\n'
                    << "Device ID: " << session.comm.DeviceIDText() << '\n'
                    << "SD card: " << card << '\n';
        if (!result.sdCardAnswered)
            context.err << "the controller did not answer the SD card request\n";
    } else {
        context.err << "no controller identified (serial number and version not read)\n";
    }
    if (strays > 0)
        context.err << StrayRepliesText(strays) << '\n';
    if (otherId)
        context.err << "the controller's Device ID is " << answered << ", not " << asked
                    << " (--id " << context.link.deviceId() << "): it answered the broadcast "
                    << "query 0000AC; give --id " << answered.toInt() << " to the other verbs\n";
    return ok ? ExitOk : ExitFailed;
}
