#pragma once

#include "ControllerBus.h"
#include "DeskReaderModel.h"
#include "SharedFaults.h"
#include "SimulatorConfig.h"

#include <QObject>
#include <QThread>

class SimulatorCore;

// Runs simulated controllers and their endpoints on a thread of its own, so that a caller
// blocking its own thread (a test waiting without an event loop) still gets answers. Starts in
// the constructor, stops in the destructor. Every accessor may be called from any thread.
class SimulatorHost : public QObject
{
    Q_OBJECT

public:
    enum class Endpoint
    {
        Tcp,
        Udp,
        Serial
    };

    explicit SimulatorHost(const SimulatorConfig &config, QObject *parent = nullptr);
    ~SimulatorHost() override;

    // False when an endpoint could not be opened; errorString() says which.
    bool isRunning() const { return running_; }
    QString errorString() const { return error_; }

    QHostAddress bindAddress() const { return bindAddress_; }
    quint16 tcpPort() const { return tcpPort_; }       // 0 without a TCP endpoint
    quint16 udpPort() const { return udpPort_; }       // 0 without a UDP endpoint
    QString serialPath() const { return serialPath_; } // empty without a serial line
    QString readerPath() const { return readerPath_; } // empty without a desk reader

    int controllerCount() const;
    ControllerState &controller(int index = 0);

    // Faults of one endpoint, of every endpoint, or of one controller wherever it answers.
    void setEndpointFaults(Endpoint endpoint, const FaultSettings &faults);
    void setFaults(const FaultSettings &faults);
    void setControllerFaults(int index, const FaultSettings &faults);
    // No faults anywhere.
    void clearFaults();

    DeskReaderModel &reader() { return reader_; }
    // The desk reader hands this code out once, at the next read command.
    void presentCard(const QByteArray &code) { reader_.presentCard(code); }

signals:
    // A request changed a controller's data (emitted on the thread that owns the host).
    void controllerChanged(int index);

private:
    SharedFaults &endpointFaults(Endpoint endpoint);

    ControllerBus bus_;
    DeskReaderModel reader_;
    SharedFaults tcpFaults_;
    SharedFaults udpFaults_;
    SharedFaults serialFaults_;
    QThread thread_;
    SimulatorCore *core_ = nullptr; // lives on thread_, deleted there when it finishes
    bool running_ = false;
    QString error_;
    QHostAddress bindAddress_;
    quint16 tcpPort_ = 0;
    quint16 udpPort_ = 0;
    QString serialPath_;
    QString readerPath_;
};
