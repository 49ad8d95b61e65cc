#pragma once

#include "DeskReaderModel.h"
#include "PseudoTerminal.h"
#include "ReaderAssembler.h"

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// The MELOK9 desk reader's serial port on a pseudo-terminal.
class ReaderEndpoint : public QObject
{
    Q_OBJECT

public:
    explicit ReaderEndpoint(DeskReaderModel &reader, QObject *parent = nullptr);

    bool isOpen() const { return pty_.isOpen(); }
    QString errorString() const { return pty_.errorString(); }
    QString devicePath() const { return pty_.slavePath(); }

private:
    void receive();

    DeskReaderModel &reader_;
    PseudoTerminal pty_;
    ReaderAssembler assembler_{ReaderRequestStart};
    std::unique_ptr<QSocketNotifier> notifier_;
};
