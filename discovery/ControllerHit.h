#pragma once

#include <QMetaType>
#include <QString>

// A controller that a search found, and where: a serial port with its line settings, or an
// address and TCP port. The Device ID is always four digits ("0003").
struct ControllerHit
{
    enum class Transport
    {
        Serial,
        Tcp
    };

    Transport transport = Transport::Serial;
    // Serial: the port's name ("COM3", or a device path when it has no number).
    QString portName;
    // Serial: the COM number (0 without one); TCP: the TCP port.
    int portNumber = 0;
    QString lineSettings;
    QString address;
    QString deviceId;
    QString serialNumber;
    QString version;
};

Q_DECLARE_METATYPE(ControllerHit)
