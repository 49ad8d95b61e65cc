#pragma once

#include <QHostAddress>
#include <QObject>
#include <memory>

class DatagramQueue;
class QUdpSocket;

// Lives on the UDP listener thread: owns the bound socket, queues every datagram that
// arrives and signals the hand-over.
class UdpListener : public QObject
{
    Q_OBJECT

public:
    explicit UdpListener(std::shared_ptr<DatagramQueue> queue);
    ~UdpListener() override;

public slots:
    bool bindTo(quint16 localPort);
    void sendDatagram(const QByteArray &datagram, const QHostAddress &host, quint16 port);

signals:
    void datagramQueued();

private:
    void drain();

    std::shared_ptr<DatagramQueue> queue_;
    QUdpSocket *socket_ = nullptr;
};
