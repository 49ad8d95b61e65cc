#pragma once

#include "FaultInjector.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <map>

// Writes reply pieces when they are due. Pieces due at the same moment keep their order.
class DeliveryQueue : public QObject
{
    Q_OBJECT

public:
    using Writer = std::function<void(const QByteArray &)>;

    explicit DeliveryQueue(QObject *parent = nullptr);

    void schedule(const QList<DeliveryPiece> &pieces, const Writer &writer);

private:
    struct Pending
    {
        QByteArray bytes;
        Writer writer;
    };

    void deliverDue();
    void arm();

    QElapsedTimer clock_;
    QTimer timer_;
    std::multimap<qint64, Pending> pending_;
};
