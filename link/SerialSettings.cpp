#include "SerialSettings.h"

#include <QStringList>

std::optional<SerialSettings> SerialSettings::parse(const QString &text)
{
    const QStringList fields = text.trimmed().split(QLatin1Char(','));
    if (fields.size() != 4)
        return std::nullopt;
    SerialSettings s;
    bool ok = false;
    s.baudRate = fields[0].trimmed().toInt(&ok);
    if (!ok || s.baudRate <= 0)
        return std::nullopt;

    const QString parity = fields[1].trimmed().toLower();
    if (parity == QLatin1String("n"))
        s.parity = QSerialPort::NoParity;
    else if (parity == QLatin1String("e"))
        s.parity = QSerialPort::EvenParity;
    else if (parity == QLatin1String("o"))
        s.parity = QSerialPort::OddParity;
    else if (parity == QLatin1String("m"))
        s.parity = QSerialPort::MarkParity;
    else if (parity == QLatin1String("s"))
        s.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int dataBits = fields[2].trimmed().toInt(&ok);
    if (!ok || dataBits < 5 || dataBits > 8)
        return std::nullopt;
    s.dataBits = static_cast<QSerialPort::DataBits>(dataBits);

    const QString stop = fields[3].trimmed();
    if (stop == QLatin1String("1"))
        s.stopBits = QSerialPort::OneStop;
    else if (stop == QLatin1String("1.5"))
        s.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == QLatin1String("2"))
        s.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return s;
}

bool SerialSettings::applyTo(QSerialPort &port) const
{
    return port.setBaudRate(baudRate) && port.setParity(parity) && port.setDataBits(dataBits) &&
           port.setStopBits(stopBits) && port.setFlowControl(QSerialPort::NoFlowControl);
}
