#include "LineService.h"

#include "Frame.h"

LineService::LineService(ControllerBus &bus, SharedFaults &lineFaults, quint32 seed,
                         QObject *parent)
    : QObject(parent), bus_(bus), lineFaults_(lineFaults), injector_(seed), queue_(this)
{
}

void LineService::receive(RequestAssembler &assembler, const QByteArray &bytes,
                          const DeliveryQueue::Writer &writer)
{
    for (const char b : bytes) {
        if (!assembler.feed(b))
            continue;
        const RequestCheck request = CheckRequestFrame(assembler.frame());
        assembler.reset();
        // A controller takes only texts that fit the frame: one holding framing bytes would
        // come back inside the echo and break the reply frame.
        if (request.crcOk && IsValidCommandText(request.commandText))
            serve(request.commandText, writer);
    }
}

void LineService::serve(const QByteArray &commandText, const DeliveryQueue::Writer &writer)
{
    const int index = bus_.addressed(commandText);
    if (index < 0)
        return;
    const FaultSettings faults =
        FaultSettings::combined(lineFaults_.get(), bus_.at(index).faults().get());
    bool changed = false;
    queue_.schedule(injector_.plan(commandText, faults,
                                   [&] {
                                       const ControllerBus::Answer answer =
                                           bus_.dispatch(commandText);
                                       changed = answer.changed;
                                       return answer.line;
                                   }),
                    writer);
    if (changed)
        emit controllerChanged(index);
}
