#pragma once

#include "SimulatorHost.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>
#include <memory>

// A simulated serial line on a pseudo-terminal whose controllers answer only at one baud rate
// (the simulator reads the rate the client set); at any other rate it is silent.
struct SerialLine
{
    explicit SerialLine(qint32 baudRate, const QList<ControllerData> &controllers = {},
                        const FaultSettings &faults = {})
    {
        SimulatorConfig config;
        config.serial = true;
        config.serialBaudRate = baudRate;
        config.controllers = controllers;
        config.faults = faults;
        sim = std::make_unique<SimulatorHost>(config);
    }

    // A line nobody answers at any of the sixteen settings.
    static std::unique_ptr<SerialLine> silent() { return std::make_unique<SerialLine>(1200); }

    QString path() const { return sim->serialPath(); }

    std::unique_ptr<SimulatorHost> sim;
};

inline ControllerData Controller(int deviceId)
{
    return ControllerData::factory(deviceId);
}

// How many descriptors of this process have the device open (a port left open shows here).
inline int OpenDescriptors(const QString &devicePath)
{
    int count = 0;
    const QFileInfoList links =
        QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System);
    for (const QFileInfo &link : links) {
        if (link.symLinkTarget() == devicePath)
            ++count;
    }
    return count;
}

// Simulated controllers on several loopback addresses, all on one TCP port.
class LoopbackSites
{
public:
    // One host per address (127.0.0.x); false when no common port could be found.
    bool start(const QList<int> &hosts, const QList<SimulatorConfig> &configs)
    {
        for (int tries = 0; tries < 20; ++tries) {
            sims_.clear();
            port_ = 0;
            bool ok = true;
            for (int i = 0; i < hosts.size() && ok; ++i) {
                SimulatorConfig config = configs.value(i);
                config.bindAddress = QHostAddress(QStringLiteral("127.0.0.%1").arg(hosts[i]));
                config.tcpPort = port_;
                auto sim = std::make_unique<SimulatorHost>(config);
                ok = sim->isRunning();
                if (ok && port_ == 0)
                    port_ = sim->tcpPort();
                sims_.push_back(std::move(sim));
            }
            if (ok)
                return true;
        }
        return false;
    }

    quint16 port() const { return port_; }
    SimulatorHost &sim(int index) { return *sims_.at(index); }

    static SimulatorConfig answering(int deviceId, const FaultSettings &faults = {})
    {
        SimulatorConfig config;
        config.controllers = {ControllerData::factory(deviceId)};
        config.faults = faults;
        return config;
    }

private:
    std::vector<std::unique_ptr<SimulatorHost>> sims_;
    quint16 port_ = 0;
};
