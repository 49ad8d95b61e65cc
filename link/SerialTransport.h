#pragma once

#include "SerialSettings.h"
#include "Transport.h"

#include <QSerialPort>

// A serial port (RS-232, or RS-485 through a converter) opened for exchanges.
class SerialTransport : public Transport
{
    Q_OBJECT

public:
    SerialTransport(const QString &devicePath, const SerialSettings &settings,
                    QObject *parent = nullptr);
    ~SerialTransport() override;

    // Opens the port; false (with errorString()) when it cannot be opened or configured.
    bool open();
    QString errorString() const { return port_.errorString(); }

    bool isOpen() const override { return port_.isOpen(); }
    void discardPending() override;
    void send(const QByteArray &frame) override;
    QByteArray takeReceived() override;
    bool reopen() override;
    void shutdown() override { port_.close(); }

    // Blocks until bytes arrive or the time is up, without running other events.
    bool waitForReadyRead(int ms) { return port_.waitForReadyRead(ms); }

private:
    QSerialPort port_;
    SerialSettings settings_;
};
