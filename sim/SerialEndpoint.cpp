#include "SerialEndpoint.h"

SerialEndpoint::SerialEndpoint(ControllerBus &bus, SharedFaults &faults, quint32 seed,
                               QObject *parent)
    : QObject(parent), service_(bus, faults, seed, this)
{
    if (!pty_.isOpen())
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pty_.masterFd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SerialEndpoint::receive);
}

void SerialEndpoint::receive()
{
    const DeliveryQueue::Writer writer = [this](const QByteArray &bytes) { pty_.write(bytes); };
    service_.receive(assembler_, pty_.readAvailable(), writer);
}
