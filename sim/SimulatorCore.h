#pragma once

#include "SimulatorConfig.h"

#include <QObject>
#include <memory>

class ControllerBus;
class DeskReaderModel;
class SharedFaults;
class TcpEndpoint;
class UdpEndpoint;
class SerialEndpoint;
class ReaderEndpoint;

// The endpoints of a SimulatorHost; lives on the host's thread and is started there.
class SimulatorCore : public QObject
{
    Q_OBJECT

public:
    struct LineFaults
    {
        SharedFaults &tcp;
        SharedFaults &udp;
        SharedFaults &serial;
    };

    SimulatorCore(ControllerBus &bus, DeskReaderModel &reader, LineFaults faults);
    ~SimulatorCore() override;

    // Opens every endpoint the configuration asks for; false (see errorString) at the first
    // that fails.
    bool start(const SimulatorConfig &config);
    QString errorString() const { return error_; }

    quint16 tcpPort() const;
    quint16 udpPort() const;
    QString serialPath() const;
    QString readerPath() const;

signals:
    void controllerChanged(int index);

private:
    ControllerBus &bus_;
    DeskReaderModel &reader_;
    LineFaults faults_;
    QString error_;
    std::unique_ptr<TcpEndpoint> tcp_;
    std::unique_ptr<UdpEndpoint> udp_;
    std::unique_ptr<SerialEndpoint> serial_;
    std::unique_ptr<ReaderEndpoint> readerEndpoint_;
};
