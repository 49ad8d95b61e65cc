#include "SimulatorCore.h"

#include "ReaderEndpoint.h"
#include "SerialEndpoint.h"
#include "TcpEndpoint.h"
#include "UdpEndpoint.h"

SimulatorCore::SimulatorCore(ControllerBus &bus, DeskReaderModel &reader, LineFaults faults)
    : bus_(bus), reader_(reader), faults_(faults)
{
}

SimulatorCore::~SimulatorCore() = default;

bool SimulatorCore::start(const SimulatorConfig &config)
{
    // Each endpoint draws its own random sequence from the one seed.
    if (config.tcpPort) {
        tcp_ = std::make_unique<TcpEndpoint>(bus_, faults_.tcp, config.seed);
        connect(&tcp_->service(), &LineService::controllerChanged, this,
                &SimulatorCore::controllerChanged);
        if (!tcp_->listen(config.bindAddress, *config.tcpPort)) {
            error_ = QStringLiteral("tcp: ") + tcp_->errorString();
            return false;
        }
    }
    if (config.udpPort) {
        udp_ = std::make_unique<UdpEndpoint>(bus_, faults_.udp, config.seed + 1);
        connect(&udp_->service(), &LineService::controllerChanged, this,
                &SimulatorCore::controllerChanged);
        if (!udp_->bind(config.bindAddress, *config.udpPort)) {
            error_ = QStringLiteral("udp: ") + udp_->errorString();
            return false;
        }
    }
    if (config.serial) {
        serial_ = std::make_unique<SerialEndpoint>(bus_, faults_.serial, config.seed + 2);
        connect(&serial_->service(), &LineService::controllerChanged, this,
                &SimulatorCore::controllerChanged);
        serial_->answerOnlyAt(config.serialBaudRate);
        serial_->paceAt(config.serialBitsPerByte);
        if (!serial_->isOpen()) {
            error_ = QStringLiteral("serial: ") + serial_->errorString();
            return false;
        }
    }
    if (config.reader) {
        readerEndpoint_ = std::make_unique<ReaderEndpoint>(reader_);
        if (!readerEndpoint_->isOpen()) {
            error_ = QStringLiteral("reader: ") + readerEndpoint_->errorString();
            return false;
        }
    }
    return true;
}

quint16 SimulatorCore::tcpPort() const
{
    return tcp_ ? tcp_->port() : 0;
}

quint16 SimulatorCore::udpPort() const
{
    return udp_ ? udp_->port() : 0;
}

QString SimulatorCore::serialPath() const
{
    return serial_ ? serial_->devicePath() : QString();
}

QString SimulatorCore::readerPath() const
{
    return readerEndpoint_ ? readerEndpoint_->devicePath() : QString();
}
