#include "TcpTransport.h"

TcpTransport::TcpTransport(const QString &host, quint16 port, QObject *parent)
    : Transport(parent), host_(host), port_(port)
{
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(&socket_, &QTcpSocket::readyRead, this, &Transport::readyRead);
    connect(&socket_, &QTcpSocket::connected, this, &TcpTransport::connected);
    connect(&socket_, &QTcpSocket::disconnected, this, [this] {
        emit failed(QStringLiteral("disconnected"));
        emit disconnected();
    });
    connect(&socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        emit failed(socket_.errorString());
        emit errorOccurred(socket_.errorString());
    });
}

void TcpTransport::connectToHost()
{
    socket_.abort();
    socket_.connectToHost(host_, port_);
}

bool TcpTransport::isOpen() const
{
    return socket_.state() == QAbstractSocket::ConnectedState;
}

void TcpTransport::discardPending()
{
    socket_.readAll();
}

void TcpTransport::send(const QByteArray &frame)
{
    socket_.write(frame);
    socket_.flush();
}

QByteArray TcpTransport::takeReceived()
{
    return socket_.readAll();
}

bool TcpTransport::reopen()
{
    if (socket_.state() == QAbstractSocket::UnconnectedState)
        connectToHost();
    return true;
}
