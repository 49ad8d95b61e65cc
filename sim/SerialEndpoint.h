#pragma once

#include "LineService.h"
#include "PseudoTerminal.h"
#include "RequestAssembler.h"

#include <QSocketNotifier>
#include <memory>

// A serial line (RS-232, or an RS-485 bus with several controllers) on a pseudo-terminal.
class SerialEndpoint : public QObject
{
    Q_OBJECT

public:
    SerialEndpoint(ControllerBus &bus, SharedFaults &faults, quint32 seed,
                   QObject *parent = nullptr);

    bool isOpen() const { return pty_.isOpen(); }
    QString errorString() const { return pty_.errorString(); }
    QString devicePath() const { return pty_.slavePath(); }
    LineService &service() { return service_; }
    // Requests sent at any other baud rate go unanswered, as a controller set to this one
    // would leave them; 0 answers at every rate.
    void answerOnlyAt(qint32 baudRate) { onlyBaudRate_ = baudRate; }

private:
    void receive();

    PseudoTerminal pty_;
    LineService service_;
    RequestAssembler assembler_;
    std::unique_ptr<QSocketNotifier> notifier_;
    qint32 onlyBaudRate_ = 0;
};
