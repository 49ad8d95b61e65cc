#include "FuzzFrames.h"

namespace Fuzz {

quint16 BitwiseCrc16Arc(QByteArrayView bytes)
{
    quint16 crc = 0;
    for (const char b : bytes) {
        crc ^= static_cast<quint8>(b);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001)
                            : static_cast<quint16>(crc >> 1);
    }
    return crc;
}

EchoAndStream SplitEchoAndStream(QByteArrayView input)
{
    EchoAndStream split;
    if (input.isEmpty())
        return split;
    split.echoLength = static_cast<quint8>(input.front());
    split.stream = input.sliced(1).toByteArray();
    return split;
}

QByteArray Without(QByteArrayView bytes, QByteArrayView removed, qsizetype limit)
{
    QByteArray kept;
    for (const char b : bytes) {
        if (kept.size() >= limit)
            break;
        if (!removed.contains(b))
            kept.append(b);
    }
    return kept;
}

} // namespace Fuzz
