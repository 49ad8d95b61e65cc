#pragma once

#include "ControllerBus.h"
#include "DeliveryQueue.h"
#include "FaultInjector.h"
#include "RequestAssembler.h"

#include <QObject>

// Serves the requests that arrive on one endpoint: asks the bus, applies the line's and
// the controller's faults and writes the reply pieces when due.
class LineService : public QObject
{
    Q_OBJECT

public:
    LineService(ControllerBus &bus, SharedFaults &lineFaults, quint32 seed,
                QObject *parent = nullptr);

    // Feeds received bytes to the sender's assembler and serves every request that passes its
    // check; replies go out through the writer.
    void receive(RequestAssembler &assembler, const QByteArray &bytes,
                 const DeliveryQueue::Writer &writer);
    void serve(const QByteArray &commandText, const DeliveryQueue::Writer &writer);

signals:
    void controllerChanged(int index);

private:
    ControllerBus &bus_;
    SharedFaults &lineFaults_;
    FaultInjector injector_;
    DeliveryQueue queue_;
};
