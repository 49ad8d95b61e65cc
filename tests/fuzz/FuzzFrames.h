#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Helpers the frame targets share: an independent CRC and the input split into its parts.
namespace Fuzz {

// CRC-16/ARC bit by bit, apart from the table the link uses.
quint16 BitwiseCrc16Arc(QByteArrayView bytes);

// The first input byte as an echo length, and the rest as the byte stream.
struct EchoAndStream
{
    int echoLength = 0;
    QByteArray stream;
};
EchoAndStream SplitEchoAndStream(QByteArrayView input);

// The bytes without any of the given ones, at most `limit` of them.
QByteArray Without(QByteArrayView bytes, QByteArrayView removed, qsizetype limit);

} // namespace Fuzz
