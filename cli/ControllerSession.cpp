#include "ControllerSession.h"

#include "CliContext.h"
#include "Comm.h"
#include "DeviceId.h"
#include "ExchangePolicy.h"
#include "Identification.h"
#include "LinkOptions.h"

#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace ControllerSession {

bool open(CliContext &context, Comm &comm)
{
    if (!context.link.open(comm)) {
        context.err << context.link.error() << '\n';
        return false;
    }
    comm.setDeviceIDText(NormaliseDeviceId(QString::number(context.link.deviceId())));
    if (context.link.deviceIdIsAuto()) {
        QString id;
        if (!Identifier(comm).askDeviceId(id)) {
            context.err << "no controller answered 0000AC\n";
            return false;
        }
    }
    return true;
}

Identity identify(Comm &comm)
{
    constexpr int IdentityTries = 3;
    Identity identity;
    const ExchangeReply serial =
        ExchangePolicy(comm, {.attempts = IdentityTries,
                              .minimumPayload = ExchangePolicy::IdentityMinimumPayload})
            .send(QStringLiteral("AS"));
    if (!serial.accepted()) {
        identity.problem = QStringLiteral("no answer to the serial-number read (AS) from Device "
                                          "ID %1; nothing was done")
                               .arg(comm.DeviceIDText());
        return identity;
    }
    identity.serialNumber = serial.payload;
    identity.version = Identifier(comm).ReadVersion();
    if (identity.version.isEmpty())
        identity.problem = QStringLiteral("no answer to the version read (DB); nothing was done");
    return identity;
}

std::optional<Identity> identifyOrSay(CliContext &context, Comm &comm)
{
    Identity identity = identify(comm);
    if (identity.known())
        return identity;
    context.err << identity.problem << '\n';
    return std::nullopt;
}

bool stderrIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

} // namespace ControllerSession
