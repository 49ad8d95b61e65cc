#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>
#include <optional>

// Holds a serial line to the speed of its wire: each byte takes bitsPerByte / baud seconds,
// and the line carries one byte at a time in either direction (an RS-485 bus is half
// duplex). A request reaches the controller once its last byte has crossed the wire, and a
// reply reaches the client once its own last byte has. Unpaced (no bit count, or no baud
// rate known) bytes pass at once.
class WirePacer : public QObject
{
    Q_OBJECT

public:
    using Delivery = std::function<void(const QByteArray &)>;

    explicit WirePacer(QObject *parent = nullptr);

    // Bits a byte takes on the wire: start bit, data bits, parity bit, stop bits; 0: unpaced.
    void setBitsPerByte(int bits) { bitsPerByte_ = bits; }
    // The rate the client runs the line at now; 0 when it cannot be told (unpaced).
    void setBaudRate(qint32 baud) { baudRate_ = baud; }
    bool paced() const { return bitsPerByte_ > 0 && baudRate_ > 0; }

    // Bytes put on the line, a request from the client or a reply to it: handed to
    // `delivery` once they have crossed the wire, after what it carried already.
    void carry(const QByteArray &bytes, const Delivery &delivery);

    // The bits of a character format such as "8E1" or "7O2" (data bits 5 to 8, parity N, E
    // or O, stop bits 1 or 2), the start bit counted; nothing when it is not one.
    static std::optional<int> BitsPerByte(const QString &format);

private:
    struct Pending
    {
        QByteArray bytes;
        Delivery delivery;
    };

    void deliverDue();
    void arm();
    qint64 now() const;

    int bitsPerByte_ = 0;
    qint32 baudRate_ = 0;
    QElapsedTimer clock_;
    QTimer timer_;
    // Nanoseconds on clock_ at which the wire is free again.
    qint64 freeAt_ = 0;
    // While deliveries run: the moment they were due, so that the wire time of a reply a
    // request gave counts from then and not from whenever the timer came round.
    std::optional<qint64> deliveringAt_;
    std::multimap<qint64, Pending> pending_;
};
