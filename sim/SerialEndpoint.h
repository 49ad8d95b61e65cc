#pragma once

#include "LineService.h"
#include "PseudoTerminal.h"
#include "RequestAssembler.h"
#include "WirePacer.h"

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
    // Requests and replies take their wire time at the baud rate the client sets, each byte
    // bitsPerByte bits (a pty carries no parity, so the character format is given here);
    // 0: bytes pass at once.
    void paceAt(int bitsPerByte) { pacer_.setBitsPerByte(bitsPerByte); }

private:
    void receive();

    PseudoTerminal pty_;
    LineService service_;
    RequestAssembler assembler_;
    WirePacer pacer_;
    std::unique_ptr<QSocketNotifier> notifier_;
    qint32 onlyBaudRate_ = 0;
};
