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
    for (const char b : pty_.readAvailable()) {
        if (!assembler_.feed(b))
            continue;
        const RequestAssembler::Request request = assembler_.request();
        assembler_.reset();
        if (onlyBaudRate_ > 0 && LineSpeed(pty_.masterFd()) != onlyBaudRate_)
            continue;
        if (request.crcOk)
            service_.serve(request.commandText, writer);
    }
}
