#include "UdpEndpoint.h"

#include <QNetworkDatagram>

UdpEndpoint::UdpEndpoint(ControllerBus &bus, SharedFaults &faults, quint32 seed, QObject *parent)
    : QObject(parent), socket_(this), service_(bus, faults, seed, this)
{
    connect(&socket_, &QUdpSocket::readyRead, this, &UdpEndpoint::receive);
}

bool UdpEndpoint::bind(const QHostAddress &address, quint16 port)
{
    return socket_.bind(address, port);
}

void UdpEndpoint::receive()
{
    while (socket_.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket_.receiveDatagram();
        if (!datagram.isValid())
            break;
        const QHostAddress sender = datagram.senderAddress();
        const quint16 senderPort = static_cast<quint16>(datagram.senderPort());
        RequestAssembler &assembler = assemblers_[{sender.toString(), senderPort}];
        const DeliveryQueue::Writer writer = [this, sender, senderPort](const QByteArray &bytes) {
            socket_.writeDatagram(bytes, sender, senderPort);
        };
        service_.receive(assembler, datagram.data(), writer);
    }
}
