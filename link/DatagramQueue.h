#pragma once

#include <QByteArray>
#include <QMutex>
#include <QQueue>

// The lock-protected hand-over of received datagrams from the UDP listener thread to the
// thread that runs exchanges.
class DatagramQueue
{
public:
    void push(const QByteArray &datagram);
    // Every datagram handed over so far, joined in arrival order; the queue is left empty.
    QByteArray takeAll();
    void clear();

private:
    QMutex mutex_;
    QQueue<QByteArray> datagrams_;
};
