#pragma once

#include "Comm.h"
#include "SimulatorHost.h"

#include <QMetaType>
#include <QSignalSpy>

// How a suite reaches its simulated controller.
enum class Via
{
    Tcp,
    Udp,
    Serial
};
Q_DECLARE_METATYPE(Via)

// Opens the link to a simulated controller over one transport. A TCP link is waited for, so the
// first exchange does not race the connection.
inline bool OpenSimLink(Comm &comm, const SimulatorHost &sim, Via via = Via::Tcp)
{
    switch (via) {
    case Via::Tcp: {
        QSignalSpy connected(&comm, &Comm::tcpConnected);
        return comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort()) &&
               (!connected.isEmpty() || connected.wait(5000));
    }
    case Via::Udp:
        return comm.CommOpenUdp(QStringLiteral("127.0.0.1"), sim.udpPort(), 0);
    case Via::Serial:
        return comm.CommOpenSerialDevice(sim.serialPath(), QStringLiteral("115200,n,8,1"));
    }
    return false;
}
