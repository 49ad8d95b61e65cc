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
    const DeliveryQueue::Writer writer = [this](const QByteArray &bytes) {
        pacer_.carry(bytes, [this](const QByteArray &through) { pty_.write(through); });
    };
    const QByteArray bytes = pty_.readAvailable();
    const qint32 baudRate = LineSpeed(pty_.masterFd());
    // A controller set to another baud rate hears only garbage and stays silent.
    if (onlyBaudRate_ > 0 && baudRate != onlyBaudRate_) {
        assembler_.reset();
        return;
    }
    pacer_.setBaudRate(baudRate);
    pacer_.carry(bytes, [this, writer](const QByteArray &through) {
        service_.receive(assembler_, through, writer);
    });
}
