#include "DatagramQueue.h"

#include <QMutexLocker>

void DatagramQueue::push(const QByteArray &datagram)
{
    const QMutexLocker lock(&mutex_);
    datagrams_.enqueue(datagram);
}

QByteArray DatagramQueue::takeAll()
{
    const QMutexLocker lock(&mutex_);
    QByteArray joined;
    while (!datagrams_.isEmpty())
        joined += datagrams_.dequeue();
    return joined;
}

void DatagramQueue::clear()
{
    const QMutexLocker lock(&mutex_);
    datagrams_.clear();
}
