#pragma once

#include "LineService.h"

#include <QHostAddress>
#include <QTcpServer>

// A controller's network port in TCP server mode; every client connection is a line of
// its own to the same controllers.
class TcpEndpoint : public QObject
{
    Q_OBJECT

public:
    TcpEndpoint(ControllerBus &bus, SharedFaults &faults, quint32 seed, QObject *parent = nullptr);

    bool listen(const QHostAddress &address, quint16 port);
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }
    LineService &service() { return service_; }

private:
    void acceptConnections();

    QTcpServer server_;
    LineService service_;
};
