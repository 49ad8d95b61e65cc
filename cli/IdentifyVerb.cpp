#include "IdentifyVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "ControllerSession.h"
#include "DeviceId.h"
#include "LinkOptions.h"

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
    IdentifyResult result = session.controller.identifyOpenLink();
    // The main window asks for the SD card over UDP only; here every link gets the answer.
    if (result.connected && !context.link.isUdp())
        result.sdCardLabel = session.controller.readSdCardLabel();
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
                                 {QStringLiteral("sdCard"), result.sdCardLabel}};
        PrintJson(context, object);
    } else if (result.connected) {
        context.out << "S/N: " << result.serialNumber << '\n'
                    << "VER: " << result.version << '\n'
                    << "Device ID: " << session.comm.DeviceIDText() << '\n'
                    << "SD card: "
                    << (result.sdCardLabel.isEmpty() ? QStringLiteral("none") : result.sdCardLabel)
                    << '\n';
    } else {
        context.err << "no controller identified (serial number and version not read)\n";
    }
    if (otherId)
        context.err << "the controller's Device ID is " << answered << ", not " << asked
                    << " (--id " << context.link.deviceId() << "): it answered the broadcast "
                    << "query 0000AC; give --id " << answered.toInt() << " to the other verbs\n";
    return result.connected ? ExitOk : ExitFailed;
}
