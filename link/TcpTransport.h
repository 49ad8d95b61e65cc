#pragma once

#include "Transport.h"

#include <QTcpSocket>

// A TCP client connection to a controller acting as server. The connect is asynchronous:
// exchanges find the transport closed until connected() has been emitted.
class TcpTransport : public Transport
{
    Q_OBJECT

public:
    TcpTransport(const QString &host, quint16 port, QObject *parent = nullptr);

    void connectToHost();
    QString host() const { return host_; }
    quint16 port() const { return port_; }
    QString errorString() const { return socket_.errorString(); }

    bool isOpen() const override;
    void discardPending() override;
    void send(const QByteArray &frame) override;
    QByteArray takeReceived() override;
    bool reopen() override;
    void shutdown() override { socket_.abort(); }

signals:
    void connected();
    void disconnected();
    void errorOccurred(const QString &message);

private:
    QTcpSocket socket_;
    QString host_;
    quint16 port_;
};
