#include "IdentifyVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "ControllerSession.h"
#include "LinkOptions.h"

#include <QJsonObject>

int runIdentifyVerb(CliContext &context)
{
    if (!context.arguments.isEmpty()) {
        context.err << "usage: kt480ctl CONNECTION identify\n";
        return ExitUsage;
    }
    ControllerSession::Connection session;
    if (!ControllerSession::open(context, session.comm))
        return ExitFailed;
    IdentifyResult result = session.controller.identifyOpenLink();
    // The main window asks for the SD card over UDP only; here every link gets the answer.
    if (result.connected && !context.link.isUdp())
        result.sdCardLabel = session.controller.readSdCardLabel();
    if (context.json) {
        const QJsonObject object{{QStringLiteral("identified"), result.connected},
                                 {QStringLiteral("serialNumber"), result.serialNumber},
                                 {QStringLiteral("version"), result.version},
                                 {QStringLiteral("deviceId"), session.comm.DeviceIDText()},
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
    return result.connected ? ExitOk : ExitFailed;
}
