#include "Identification.h"

#include "DeviceId.h"
#include "SdCardLabel.h"

#include <Comm.h>

namespace {

using std::chrono::milliseconds;

constexpr int Tries = 3;
constexpr int UdpTries = 5;
// "AN" counts only with the status, the count and the seven sector digits.
constexpr int SdCardMinimumPayload = 12;
// A serial line (and a controller answering the broadcast) gets 50 ms before each read.
constexpr milliseconds SettleBefore{50};
constexpr milliseconds UdpPauseAfterLoss{10};

// "AS", "DB" and "0000AC" replies count only when longer than seven characters. A late reply
// is waited for, so that it is counted as explained and not as a reply nobody asked for.
ExchangePolicy::Rule IdentityRule(int attempts, milliseconds pauseBefore = milliseconds(0),
                                  milliseconds pauseAfterLoss = milliseconds(0),
                                  int minimumPayload = ExchangePolicy::IdentityMinimumPayload)
{
    return {.attempts = attempts,
            .pauseBefore = pauseBefore,
            .pauseAfterLoss = pauseAfterLoss,
            .lateReplyWindow = ExchangePolicy::LateReplyWindow,
            .minimumPayload = minimumPayload};
}

} // namespace

bool Identifier::readSerialNumber(const ExchangePolicy::Rule &rule, QString &serialNumber)
{
    const ExchangeReply reply = ExchangePolicy(comm_, rule).send(QStringLiteral("AS"));
    if (reply.accepted())
        serialNumber = reply.payload;
    return reply.accepted();
}

bool Identifier::askDeviceId(QString &deviceId)
{
    ExchangePolicy::Rule rule = IdentityRule(Tries, SettleBefore);
    // The answer starts with the controller's own Device ID, which is never 0.
    rule.payloadCheck = [](const QString &payload) { return payload.left(4).toInt() > 0; };
    const ExchangeReply reply = ExchangePolicy(comm_, rule).sendText(QStringLiteral("0000AC"), 0);
    if (!reply.accepted())
        return false;
    deviceId = NormaliseDeviceId(reply.payload.left(4));
    comm_.setDeviceIDText(deviceId);
    return true;
}

IdentifyResult Identifier::IdentifySerial(int storedPort, int comboPort,
                                          const QString &settingsText)
{
    IdentifyResult result;
    comm_.CommClose();
    int port = storedPort;
    if (port > 0) {
        if (comm_.CommOpenSerial(port, settingsText))
            readSerialNumber(IdentityRule(Tries, SettleBefore), result.serialNumber);
        comm_.CommClose();
    }
    bool comboAnswered = false;
    if (result.serialNumber.isEmpty()) {
        port = 0;
        if (comboPort > 0 && comm_.CommOpenSerial(comboPort, settingsText)) {
            comboAnswered =
                readSerialNumber(IdentityRule(Tries, SettleBefore), result.serialNumber);
            if (comboAnswered)
                port = comboPort;
        }
        bool broadcastAnswered = false;
        if (comboPort > 0 && !comboAnswered)
            broadcastAnswered = askDeviceId(result.broadcastDeviceId);
        if (comboAnswered || broadcastAnswered) {
            if (readSerialNumber(IdentityRule(Tries), result.serialNumber))
                port = comboPort;
        }
        comm_.CommClose();
        if (!comboAnswered && !broadcastAnswered)
            return result;
    }
    // A broadcast answer without a serial number leaves no port to open, so this fails.
    if (port > 0 && comm_.CommOpenSerial(port, settingsText)) {
        result.version = ReadVersion();
        result.connected = !result.version.isEmpty();
    }
    if (result.connected) {
        comm_.setDeviceConnected(true);
        result.portNumber = port;
    } else {
        comm_.CommClose();
    }
    return result;
}

IdentifyResult Identifier::IdentifyTcp()
{
    IdentifyResult result;
    comm_.setDeviceConnected(false);
    if (!readSerialNumber(IdentityRule(Tries), result.serialNumber)) {
        if (askDeviceId(result.broadcastDeviceId))
            readSerialNumber(IdentityRule(Tries), result.serialNumber);
    }
    if (result.serialNumber.isEmpty())
        return result;
    result.version = ReadVersion();
    result.connected = !result.version.isEmpty();
    comm_.setDeviceConnected(result.connected);
    return result;
}

QString Identifier::ReadVersion()
{
    const ExchangeReply reply =
        ExchangePolicy(comm_, IdentityRule(Tries)).send(QStringLiteral("DB"));
    return reply.accepted() ? reply.payload : QString();
}

std::optional<QString> Identifier::ReadSdCardLabel()
{
    const ExchangeReply reply =
        ExchangePolicy(
            comm_, IdentityRule(UdpTries, milliseconds(0), UdpPauseAfterLoss, SdCardMinimumPayload))
            .send(QStringLiteral("AN"));
    if (!reply.accepted())
        return std::nullopt;
    return SdCardLabelFromReply(reply.payload);
}

IdentifyResult Identifier::IdentifyUdp()
{
    IdentifyResult result;
    comm_.setDeviceConnected(false);
    if (!readSerialNumber(IdentityRule(UdpTries, milliseconds(0), UdpPauseAfterLoss),
                          result.serialNumber))
        return result;
    const std::optional<QString> label = ReadSdCardLabel();
    result.sdCardAnswered = label.has_value();
    result.sdCardLabel = label.value_or(QString());
    const ExchangeReply version =
        ExchangePolicy(comm_, IdentityRule(UdpTries, milliseconds(0), UdpPauseAfterLoss))
            .send(QStringLiteral("DB"));
    if (version.accepted()) {
        result.version = version.payload;
        result.connected = true;
        comm_.setDeviceConnected(true);
    }
    return result;
}
