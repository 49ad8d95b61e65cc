#include "UdpTransport.h"

#include "DatagramQueue.h"
#include "UdpListener.h"

#include <QHostInfo>

UdpTransport::UdpTransport(const QString &host, quint16 destinationPort, quint16 localPort,
                           QObject *parent)
    : Transport(parent), host_(host), destinationPort_(destinationPort), localPort_(localPort),
      queue_(std::make_shared<DatagramQueue>())
{
    thread_.setObjectName(QStringLiteral("udp-listener"));
}

UdpTransport::~UdpTransport()
{
    close();
}

bool UdpTransport::open()
{
    if (active_)
        return true;
    address_ = QHostAddress(host_);
    if (address_.isNull()) {
        const QHostInfo info = QHostInfo::fromName(host_);
        for (const QHostAddress &a : info.addresses()) {
            if (a.protocol() == QAbstractSocket::IPv4Protocol) {
                address_ = a;
                break;
            }
        }
    }
    if (address_.isNull() || destinationPort_ == 0)
        return false;

    listener_ = new UdpListener(queue_);
    listener_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, listener_, &QObject::deleteLater);
    connect(listener_, &UdpListener::datagramQueued, this, &Transport::readyRead,
            Qt::QueuedConnection);
    thread_.start();

    bool bound = false;
    QMetaObject::invokeMethod(
        listener_, [this] { return listener_->bindTo(localPort_); }, Qt::BlockingQueuedConnection,
        &bound);
    if (!bound) {
        close();
        return false;
    }
    active_ = true;
    return true;
}

void UdpTransport::close()
{
    active_ = false;
    if (thread_.isRunning()) {
        thread_.quit();
        thread_.wait();
    }
    listener_ = nullptr;
    queue_->clear();
}

void UdpTransport::discardPending()
{
    queue_->clear();
}

void UdpTransport::send(const QByteArray &frame)
{
    if (!active_ || !listener_)
        return;
    UdpListener *const listener = listener_;
    QMetaObject::invokeMethod(
        listener,
        [listener, frame, address = address_, port = destinationPort_] {
            listener->sendDatagram(frame, address, port);
        },
        Qt::QueuedConnection);
}

QByteArray UdpTransport::takeReceived()
{
    return queue_->takeAll();
}

bool UdpTransport::reopen()
{
    return active_ || open();
}
