#pragma once

#include <QSerialPort>
#include <QString>
#include <optional>

// A line setting such as "19200,e,8,1": baud rate, parity (n, e, o, m, s), data bits, stop bits.
struct SerialSettings
{
    qint32 baudRate = 19200;
    QSerialPort::Parity parity = QSerialPort::EvenParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    static std::optional<SerialSettings> parse(const QString &text);
    bool applyTo(QSerialPort &port) const;
};
