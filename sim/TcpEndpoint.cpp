#include "TcpEndpoint.h"

#include "RequestAssembler.h"

#include <QPointer>
#include <QTcpSocket>
#include <memory>

TcpEndpoint::TcpEndpoint(ControllerBus &bus, SharedFaults &faults, quint32 seed, QObject *parent)
    : QObject(parent), server_(this), service_(bus, faults, seed, this)
{
    connect(&server_, &QTcpServer::newConnection, this, &TcpEndpoint::acceptConnections);
}

bool TcpEndpoint::listen(const QHostAddress &address, quint16 port)
{
    return server_.listen(address, port);
}

void TcpEndpoint::acceptConnections()
{
    while (QTcpSocket *socket = server_.nextPendingConnection()) {
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto assembler = std::make_shared<RequestAssembler>();
        const QPointer<QTcpSocket> guarded(socket);
        const DeliveryQueue::Writer writer = [guarded](const QByteArray &bytes) {
            if (guarded && guarded->state() == QAbstractSocket::ConnectedState)
                guarded->write(bytes);
        };
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, assembler, writer] {
            service_.receive(*assembler, socket->readAll(), writer);
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }
}
