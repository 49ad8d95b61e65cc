#include "DeliveryQueue.h"

DeliveryQueue::DeliveryQueue(QObject *parent) : QObject(parent)
{
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &DeliveryQueue::deliverDue);
}

void DeliveryQueue::schedule(const QList<DeliveryPiece> &pieces, const Writer &writer)
{
    const qint64 now = clock_.elapsed();
    for (const DeliveryPiece &piece : pieces) {
        // Nothing waiting and no delay: write at once, the common case.
        if (piece.delayMs <= 0 && pending_.empty())
            writer(piece.bytes);
        else
            pending_.emplace(now + piece.delayMs, Pending{piece.bytes, writer});
    }
    arm();
}

void DeliveryQueue::deliverDue()
{
    while (!pending_.empty() && pending_.begin()->first <= clock_.elapsed()) {
        const Pending next = pending_.begin()->second;
        pending_.erase(pending_.begin());
        next.writer(next.bytes);
    }
    arm();
}

void DeliveryQueue::arm()
{
    if (pending_.empty()) {
        timer_.stop();
        return;
    }
    timer_.start(static_cast<int>(std::max<qint64>(0, pending_.begin()->first - clock_.elapsed())));
}
