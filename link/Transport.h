#pragma once

#include <QByteArray>
#include <QObject>

// One way of reaching a controller. The exchange engine writes whole frames and takes
// whatever bytes have arrived; readyRead wakes a waiting exchange.
class Transport : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Ready to carry an exchange (for TCP: connected).
    virtual bool isOpen() const = 0;
    // Drops every byte or datagram received so far.
    virtual void discardPending() = 0;
    virtual void send(const QByteArray &frame) = 0;
    // Every byte received since the last call, in arrival order.
    virtual QByteArray takeReceived() = 0;
    // Opens again a transport that was closed; true when it is usable or starting.
    virtual bool reopen() = 0;
    // Releases the port or socket at once (a serial port stays locked while it is open),
    // also from inside one of the transport's own signals.
    virtual void shutdown() = 0;

signals:
    void readyRead();
    // The transport stopped working (port error, peer closed).
    void failed(const QString &reason);
};
