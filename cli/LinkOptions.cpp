#include "LinkOptions.h"

#include "Comm.h"
#include "LoopbackOnly.h"
#include "NumberOption.h"
#include "SerialPortProblem.h"
#include "SerialSettings.h"
#include "TraceSink.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

namespace {

constexpr int TcpConnectTimeoutMs = 5000;

bool splitHostPort(const QString &text, QString &host, quint16 &port)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    host = colon < 0 ? text : text.left(colon);
    if (colon >= 0) {
        const auto p = BoundedNumber(text.mid(colon + 1), 1, 65535);
        if (!p)
            return false;
        port = static_cast<quint16>(*p);
    }
    return !host.isEmpty();
}

// "COM3" names a port by its number, unless a file of that name exists.
bool isComName(const QString &port)
{
    return port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) && !QFileInfo::exists(port);
}

} // namespace

bool LinkOptions::read(const QCommandLineParser &parser)
{
    const int chosen = int(parser.isSet(QStringLiteral("tcp"))) +
                       int(parser.isSet(QStringLiteral("udp"))) +
                       int(parser.isSet(QStringLiteral("serial")));
    if (chosen != 1) {
        error_ = QStringLiteral("choose exactly one of --tcp, --udp or --serial");
        return false;
    }
    if (parser.isSet(QStringLiteral("tcp"))) {
        kind_ = Kind::Tcp;
        if (!splitHostPort(parser.value(QStringLiteral("tcp")), host_, port_)) {
            error_ = QStringLiteral("--tcp wants HOST[:PORT] with a port from 1 to 65535");
            return false;
        }
    } else if (parser.isSet(QStringLiteral("udp"))) {
        kind_ = Kind::Udp;
        if (!splitHostPort(parser.value(QStringLiteral("udp")), host_, port_)) {
            error_ = QStringLiteral("--udp wants HOST[:PORT] with a port from 1 to 65535");
            return false;
        }
    } else {
        kind_ = Kind::Serial;
        serialPort_ = parser.value(QStringLiteral("serial"));
        if (isComName(serialPort_) && ComPortNumber(serialPort_) <= 0) {
            error_ = QStringLiteral("--serial wants COM<n> with n from 1 on, or a device path");
            return false;
        }
    }
    // On loopback only, a refused address is a usage error: nothing is sent.
    if (kind_ != Kind::Serial && !HostAllowed(host_)) {
        error_ = HostRefusedText(host_);
        return false;
    }
    if (parser.isSet(QStringLiteral("local-port"))) {
        const auto p = BoundedNumber(parser.value(QStringLiteral("local-port")), 0, 65535);
        if (!p) {
            error_ = QStringLiteral("--local-port wants a port number from 0 to 65535");
            return false;
        }
        localPort_ = static_cast<quint16>(*p);
    }
    if (parser.isSet(QStringLiteral("line"))) {
        line_ = parser.value(QStringLiteral("line"));
        if (!SerialSettings::parse(line_)) {
            error_ = QStringLiteral("--line wants settings such as 19200,e,8,1");
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("id"))) {
        const QString id = parser.value(QStringLiteral("id"));
        if (id == QLatin1String("auto")) {
            autoId_ = true;
        } else {
            const auto n = BoundedNumber(id, 0, 9999);
            if (!n) {
                error_ = QStringLiteral("--id wants a number from 0 to 9999 or auto");
                return false;
            }
            deviceId_ = *n;
        }
    }
    return true;
}

bool LinkOptions::open(Comm &comm) const
{
    if (trace_)
        trace_->attach(comm);
    switch (kind_) {
    case Kind::Serial: {
        const bool opened = isComName(serialPort_)
                                ? comm.CommOpenSerial(ComPortNumber(serialPort_), line_)
                                : comm.CommOpenSerialDevice(serialPort_, line_);
        if (!opened) {
            // A COM name is named with the device behind it, which is what the reason is about.
            const QString device = isComName(serialPort_)
                                       ? comm.comPortMap().devicePath(ComPortNumber(serialPort_))
                                       : serialPort_;
            const QString shown = device == serialPort_
                                      ? serialPort_
                                      : QStringLiteral("%1 (%2)").arg(serialPort_, device);
            error_ = device.isEmpty()
                         ? QStringLiteral("cannot open serial port %1: no device is known for it")
                               .arg(serialPort_)
                         : QStringLiteral("cannot open serial port %1 with %2: %3")
                               .arg(shown, line_, SerialPortProblem(device));
        }
        return opened;
    }
    case Kind::Udp:
        if (!comm.CommOpenUdp(host_, port_, localPort_)) {
            error_ = QStringLiteral("cannot open UDP to %1:%2 from local port %3")
                         .arg(host_)
                         .arg(port_)
                         .arg(localPort_);
            return false;
        }
        return true;
    case Kind::Tcp: {
        QString failure;
        // An unreachable address fails while the connection starts, before the wait below.
        const QMetaObject::Connection early = QObject::connect(
            &comm, &Comm::tcpError, [&](const QString &message) { failure = message; });
        const bool started = comm.CommOpenTcp(host_, port_);
        QObject::disconnect(early);
        if (!started || !failure.isEmpty()) {
            error_ = QStringLiteral("cannot connect to %1:%2").arg(host_).arg(port_);
            if (!failure.isEmpty())
                error_ += QStringLiteral(": ") + failure;
            return false;
        }
        QEventLoop loop;
        QObject::connect(&comm, &Comm::tcpConnected, &loop, &QEventLoop::quit);
        QObject::connect(&comm, &Comm::tcpError, &loop, [&](const QString &message) {
            failure = message;
            loop.quit();
        });
        QTimer::singleShot(TcpConnectTimeoutMs, &loop, [&] {
            failure = QStringLiteral("no connection within 5 s");
            loop.quit();
        });
        loop.exec();
        if (!comm.TcpConnected()) {
            error_ =
                QStringLiteral("cannot connect to %1:%2: %3").arg(host_).arg(port_).arg(failure);
            return false;
        }
        return true;
    }
    case Kind::None:
        break;
    }
    error_ = QStringLiteral("no connection chosen");
    return false;
}
