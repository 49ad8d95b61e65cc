#include "UdpListener.h"

#include "DatagramQueue.h"
#include "LinkLog.h"

#include <QNetworkDatagram>
#include <QUdpSocket>

namespace {
// Longer datagrams are not part of the protocol; the rest is cut off.
constexpr qint64 ReceiveBufferSize = 1024;
} // namespace

UdpListener::UdpListener(std::shared_ptr<DatagramQueue> queue) : queue_(std::move(queue)) {}

UdpListener::~UdpListener() = default;

bool UdpListener::bindTo(quint16 localPort)
{
    socket_ = new QUdpSocket(this);
    if (!socket_->bind(QHostAddress::AnyIPv4, localPort)) {
        // Most often another program (or the window) holds the port: say so.
        qCWarning(lcLink).noquote()
            << QStringLiteral("UDP local port %1: %2").arg(localPort).arg(socket_->errorString());
        return false;
    }
    connect(socket_, &QUdpSocket::readyRead, this, &UdpListener::drain);
    return true;
}

void UdpListener::sendDatagram(const QByteArray &datagram, const QHostAddress &host, quint16 port)
{
    if (socket_)
        socket_->writeDatagram(datagram, host, port);
}

void UdpListener::drain()
{
    bool any = false;
    while (socket_->hasPendingDatagrams()) {
        const QNetworkDatagram d = socket_->receiveDatagram(ReceiveBufferSize);
        if (!d.isValid())
            break;
        queue_->push(d.data());
        any = true;
    }
    if (any)
        emit datagramQueued();
}
