#pragma once

#include "ControllerData.h"
#include "FaultSettings.h"

#include <QHostAddress>
#include <QList>
#include <optional>

// What a SimulatorHost runs. Ports: 0 picks any free port; an unset port means no endpoint.
struct SimulatorConfig
{
    QHostAddress bindAddress{QHostAddress::LocalHost};
    std::optional<quint16> tcpPort;
    std::optional<quint16> udpPort;
    bool serial = false; // a pseudo-terminal serial line carrying every controller
    bool reader = false; // a pseudo-terminal MELOK9 desk reader
    // The serial line answers only while the client runs it at this baud rate (0: any).
    qint32 serialBaudRate = 0;
    // The serial line takes the wire time of every byte at the baud rate the client sets, a
    // byte being this many bits (11 for 8E1: start, eight data bits, parity, stop); 0: bytes
    // pass at memory speed.
    int serialBitsPerByte = 0;

    // Each endpoint reaches all of them by Device ID. Empty: one factory controller, ID 1.
    QList<ControllerData> controllers;
    FaultSettings faults; // on every endpoint from the start
    quint32 seed = 1;

    char readerFamily = 'A';
    QByteArray readerIdentity = "MELOK9V1";
};
