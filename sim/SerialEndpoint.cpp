#include "SerialEndpoint.h"

#include "LineSpeed.h"

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
    const QByteArray bytes = pty_.readAvailable();
    // A controller set to another baud rate hears only garbage and stays silent.
    if (onlyBaudRate_ > 0 && LineSpeed(pty_.masterFd()) != onlyBaudRate_) {
        assembler_.reset();
        return;
    }
    service_.receive(assembler_, bytes, writer);
}
