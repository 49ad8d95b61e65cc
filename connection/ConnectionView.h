#pragma once

// The boxes of the three connection tabs: what a person types into, and what the connection
// rewrites (a normalised Device ID, a trimmed address, the port that answered).
enum class ConnectionField
{
    ComPort,
    BaudRate,
    DeviceId01,
    TcpHost,
    TcpPort,
    DeviceId02,
    UdpHost,
    UdpDestinationPort,
    UdpLocalPort,
    DeviceId03
};

// The connection circle of the status bar: blinking blue while a connection is attempted,
// blue when connected, red after a failure.
enum class ConnectionIndicator
{
    Blinking,
    Connected,
    Failed
};
