#pragma once

#include "ExchangePolicy.h"

#include <QString>
#include <optional>

class Comm;

// What an identification found out about the controller on the link.
struct IdentifyResult
{
    bool connected = false;
    QString serialNumber;
    QString version;
    // The Device ID the controller gave in answer to "0000AC"; empty when it was not asked.
    QString broadcastDeviceId;
    // Serial only: the port that produced the serial number, 0 when none did.
    int portNumber = 0;
    // UDP only: the SD card label from "AN", empty without a card or without an answer.
    QString sdCardLabel;
    // UDP only: "AN" was answered, so an empty label means no card.
    bool sdCardAnswered = false;
};

// Identifies the controller behind the link: serial number ("AS"), firmware version ("DB"),
// the broadcast Device ID query "0000AC" when the box's ID gets no answer, and over UDP the SD
// card size ("AN"). Works on the link's DeviceIDText, which the broadcast reply replaces.
class Identifier
{
public:
    explicit Identifier(Comm &comm) : comm_(comm) {}

    // Tries the stored port first, then the port of the combo box. On success the link stays
    // open on the port given back in the result.
    IdentifyResult IdentifySerial(int storedPort, int comboPort, const QString &settingsText);
    // The sequence run once the TCP connection is up.
    IdentifyResult IdentifyTcp();
    // The sequence run on an open UDP endpoint.
    IdentifyResult IdentifyUdp();
    // Up to three "DB" reads; the firmware version, empty when none was accepted.
    QString ReadVersion();
    // Up to five "AN" reads; the SD card label, empty without a card. Nothing when no reply
    // was accepted: whether there is a card is not known.
    std::optional<QString> ReadSdCardLabel();
    // Up to three "0000AC" queries; adopts the Device ID of an accepted answer.
    bool askDeviceId(QString &deviceId);

private:
    // "AS" under the given rule; on success the serial number.
    bool readSerialNumber(const ExchangePolicy::Rule &rule, QString &serialNumber);

    Comm &comm_;
};
