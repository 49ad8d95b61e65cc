#include "SerialTransport.h"

namespace {

// A pseudo-terminal (a simulator standing in for a cable) carries no parity bit: the kernel
// clears the setting and the port would refuse to open with any parity but none.
bool IsPseudoTerminal(const QString &portName)
{
    return portName.startsWith(QLatin1String("pts/")) ||
           portName.startsWith(QLatin1String("/dev/pts/"));
}

} // namespace

SerialTransport::SerialTransport(const QString &devicePath, const SerialSettings &settings,
                                 QObject *parent)
    : Transport(parent), settings_(settings)
{
    port_.setPortName(devicePath);
    connect(&port_, &QSerialPort::readyRead, this, &Transport::readyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError || e == QSerialPort::PermissionError)
            emit failed(port_.errorString());
    });
}

SerialTransport::~SerialTransport()
{
    if (port_.isOpen())
        port_.close();
}

bool SerialTransport::open()
{
    if (!port_.open(QIODevice::ReadWrite))
        return false;
    SerialSettings effective = settings_;
    if (IsPseudoTerminal(port_.portName()))
        effective.parity = QSerialPort::NoParity;
    if (!effective.applyTo(port_)) {
        port_.close();
        return false;
    }
    port_.clear(QSerialPort::AllDirections);
    return true;
}

void SerialTransport::discardPending()
{
    port_.clear(QSerialPort::AllDirections);
    port_.readAll();
}

void SerialTransport::send(const QByteArray &frame)
{
    port_.write(frame);
}

QByteArray SerialTransport::takeReceived()
{
    return port_.readAll();
}

bool SerialTransport::reopen()
{
    return port_.isOpen() || open();
}
