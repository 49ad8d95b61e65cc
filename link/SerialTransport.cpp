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
        if (e != QSerialPort::ResourceError && e != QSerialPort::ReadError &&
            e != QSerialPort::PermissionError)
            return;
        const QString reason = port_.errorString();
        // The device went away (an adapter unplugged, the far end of a pty closed): its handle
        // is dead and would report the same error again at every turn of the event loop.
        // Closed, the port is opened again by the next resume, once the device is back.
        if (e != QSerialPort::PermissionError)
            port_.close();
        emit failed(reason);
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
