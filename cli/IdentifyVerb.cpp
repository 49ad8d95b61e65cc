#include "IdentifyVerb.h"

#include "CliContext.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Identification.h"
#include "LinkOptions.h"
#include "SdCardLabel.h"

#include <QJsonDocument>
#include <QJsonObject>

int runIdentifyVerb(CliContext &context)
{
    if (!context.arguments.isEmpty()) {
        context.err << "usage: kt480ctl CONNECTION identify\n";
        return ExitUsage;
    }
    Comm comm;
    if (!ControllerSession::open(context, comm))
        return ExitFailed;
    Identifier identifier(comm);
    IdentifyResult result =
        context.link.isUdp() ? identifier.IdentifyUdp() : identifier.IdentifyTcp();
    // The main window asks for the SD card over UDP only; here every link gets the answer.
    if (result.connected && !context.link.isUdp() &&
        comm.CommExchange(comm.DeviceIDText() + QStringLiteral("AN"), 6) == Comm::Accepted)
        result.sdCardLabel = SdCardLabelFromReply(comm.ReplyText());
    if (context.json) {
        const QJsonObject object{{QStringLiteral("identified"), result.connected},
                                 {QStringLiteral("serialNumber"), result.serialNumber},
                                 {QStringLiteral("version"), result.version},
                                 {QStringLiteral("deviceId"), comm.DeviceIDText()},
                                 {QStringLiteral("sdCard"), result.sdCardLabel}};
        context.out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
    } else if (result.connected) {
        context.out << "S/N: " << result.serialNumber << '\n'
                    << "VER: " << result.version << '\n'
                    << "Device ID: " << comm.DeviceIDText() << '\n'
                    << "SD card: "
                    << (result.sdCardLabel.isEmpty() ? QStringLiteral("none") : result.sdCardLabel)
                    << '\n';
    } else {
        context.err << "no controller identified (serial number and version not read)\n";
    }
    return result.connected ? ExitOk : ExitFailed;
}
