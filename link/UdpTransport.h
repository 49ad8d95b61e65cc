#pragma once

#include "Transport.h"

#include <QHostAddress>
#include <QThread>
#include <memory>

class DatagramQueue;
class UdpListener;

// UDP datagrams to a controller; replies are taken from whatever reaches the bound local
// port, received on a listener thread of their own.
class UdpTransport : public Transport
{
    Q_OBJECT

public:
    UdpTransport(const QString &host, quint16 destinationPort, quint16 localPort,
                 QObject *parent = nullptr);
    ~UdpTransport() override;

    // Resolves the host, binds the local port and starts the listener thread.
    bool open();
    void close();

    bool isOpen() const override { return active_; }
    void discardPending() override;
    void send(const QByteArray &frame) override;
    QByteArray takeReceived() override;
    bool reopen() override;
    void shutdown() override { close(); }

private:
    QString host_;
    QHostAddress address_;
    quint16 destinationPort_;
    quint16 localPort_;
    bool active_ = false;
    std::shared_ptr<DatagramQueue> queue_;
    QThread thread_;
    UdpListener *listener_ = nullptr; // owned by thread_, deleted when it finishes
};
