#pragma once

#include "LineService.h"
#include "RequestAssembler.h"

#include <QHostAddress>
#include <QMap>
#include <QUdpSocket>

// A controller's network port in UDP mode: replies go back to whoever sent the request.
class UdpEndpoint : public QObject
{
    Q_OBJECT

public:
    UdpEndpoint(ControllerBus &bus, SharedFaults &faults, quint32 seed, QObject *parent = nullptr);

    bool bind(const QHostAddress &address, quint16 port);
    quint16 port() const { return socket_.localPort(); }
    QString errorString() const { return socket_.errorString(); }
    LineService &service() { return service_; }

private:
    void receive();

    QUdpSocket socket_;
    LineService service_;
    QMap<QPair<QString, quint16>, RequestAssembler> assemblers_; // one per sender
};
