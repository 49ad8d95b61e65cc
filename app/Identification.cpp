#include "Identification.h"

#include "DeviceId.h"
#include "ResponsivePause.h"
#include "SdCardLabel.h"

#include <Comm.h>
#include <QCoreApplication>

namespace {
constexpr int EchoLength = 6;
constexpr int MinimumLength = 7;
} // namespace

bool Identifier::exchangeLong(const QString &code)
{
    return comm_.CommExchange(comm_.DeviceIDText() + code, EchoLength) == Comm::Accepted &&
           comm_.ReplyLength() > MinimumLength;
}

bool Identifier::readSerialNumber(int attempts, int pauseBeforeMs, int pauseAfterFailureMs,
                                  QString &serialNumber)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (pauseBeforeMs > 0)
            PauseResponsively(std::chrono::milliseconds(pauseBeforeMs));
        if (exchangeLong(QStringLiteral("AS"))) {
            serialNumber = comm_.ReplyText();
            return true;
        }
        if (pauseAfterFailureMs > 0)
            PauseResponsively(std::chrono::milliseconds(pauseAfterFailureMs));
    }
    return false;
}

bool Identifier::askDeviceId(QString &deviceId)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        PauseResponsively(std::chrono::milliseconds(50));
        QCoreApplication::processEvents();
        if (comm_.CommExchange(QStringLiteral("0000AC"), 0) != Comm::Accepted ||
            comm_.ReplyLength() <= MinimumLength)
            continue;
        const QString reply = comm_.ReplyText();
        if (reply.left(4).toInt() <= 0)
            continue;
        deviceId = NormaliseDeviceId(reply.left(4));
        comm_.setDeviceIDText(deviceId);
        return true;
    }
    return false;
}

IdentifyResult Identifier::IdentifySerial(int storedPort, int comboPort,
                                          const QString &settingsText)
{
    IdentifyResult result;
    comm_.CommClose();
    int port = storedPort;
    if (port > 0) {
        if (comm_.CommOpenSerial(port, settingsText))
            readSerialNumber(3, 50, 0, result.serialNumber);
        comm_.CommClose();
    }
    bool comboAnswered = false;
    if (result.serialNumber.isEmpty()) {
        port = 0;
        if (comboPort > 0 && comm_.CommOpenSerial(comboPort, settingsText)) {
            comboAnswered = readSerialNumber(3, 50, 0, result.serialNumber);
            if (comboAnswered)
                port = comboPort;
        }
        bool broadcastAnswered = false;
        if (comboPort > 0 && !comboAnswered)
            broadcastAnswered = askDeviceId(result.broadcastDeviceId);
        if (comboAnswered || broadcastAnswered) {
            if (readSerialNumber(3, 0, 0, result.serialNumber))
                port = comboPort;
        }
        comm_.CommClose();
        if (!comboAnswered && !broadcastAnswered)
            return result;
    }
    // A broadcast answer without a serial number leaves no port to open, so this fails.
    if (port > 0 && comm_.CommOpenSerial(port, settingsText)) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (exchangeLong(QStringLiteral("DB"))) {
                result.version = comm_.ReplyText();
                result.connected = true;
                break;
            }
        }
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
    if (!readSerialNumber(3, 0, 0, result.serialNumber)) {
        if (askDeviceId(result.broadcastDeviceId))
            readSerialNumber(3, 0, 0, result.serialNumber);
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
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (exchangeLong(QStringLiteral("DB")))
            return comm_.ReplyText();
    }
    return {};
}

IdentifyResult Identifier::IdentifyUdp()
{
    IdentifyResult result;
    comm_.setDeviceConnected(false);
    if (!readSerialNumber(5, 0, 10, result.serialNumber))
        return result;
    for (int pass = 0; pass < 5; ++pass) {
        result.sdCardLabel.clear();
        if (comm_.CommExchange(comm_.DeviceIDText() + QStringLiteral("AN"), EchoLength) ==
                Comm::Accepted &&
            comm_.ReplyLength() > 11)
            result.sdCardLabel = SdCardLabelFromReply(comm_.ReplyText());
        if (exchangeLong(QStringLiteral("DB"))) {
            result.version = comm_.ReplyText();
            result.connected = true;
            comm_.setDeviceConnected(true);
            break;
        }
        PauseResponsively(std::chrono::milliseconds(10));
    }
    return result;
}
