#include "Frame.h"

#include <array>

namespace {

constexpr std::array<quint16, 256> makeCrcTable()
{
    std::array<quint16, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint16 crc = static_cast<quint16>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001)
                            : static_cast<quint16>(crc >> 1);
        table[i] = crc;
    }
    return table;
}

constexpr auto CrcTable = makeCrcTable();

char hexDigit(int nibble)
{
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + nibble - 10);
}

} // namespace

quint16 Crc16Arc(QByteArrayView bytes)
{
    quint16 crc = 0;
    for (const char b : bytes)
        crc = static_cast<quint16>((crc >> 8) ^ CrcTable[(crc ^ static_cast<quint8>(b)) & 0xFF]);
    return crc;
}

QByteArray ByteToHex(quint8 byte)
{
    QByteArray hex(2, '0');
    hex[0] = hexDigit(byte >> 4);
    hex[1] = hexDigit(byte & 0x0F);
    return hex;
}

QByteArray CrcToHex(quint16 crc)
{
    return ByteToHex(static_cast<quint8>(crc >> 8)) + ByteToHex(static_cast<quint8>(crc & 0xFF));
}

bool IsValidCommandText(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > MaxCommandLength)
        return false;
    for (const char c : text) {
        if (c == RequestStart || c == RequestEnd || c == ReplyStart || c == ReplyEnd ||
            c == FrameTerminator)
            return false;
    }
    return true;
}

QByteArray BuildRequestFrame(QByteArrayView commandText)
{
    QByteArray frame;
    frame.reserve(commandText.size() + 7);
    frame.append(RequestStart);
    frame.append(commandText);
    frame.append(RequestEnd);
    frame.append(CrcToHex(Crc16Arc(frame)));
    frame.append(FrameTerminator);
    return frame;
}

QByteArray BuildReplyFrame(QByteArrayView body)
{
    QByteArray frame;
    frame.reserve(body.size() + 7);
    frame.append(ReplyStart);
    frame.append(body);
    frame.append(ReplyEnd);
    frame.append(CrcToHex(Crc16Arc(frame)));
    frame.append(FrameTerminator);
    return frame;
}

quint8 ReaderXor(QByteArrayView bytes)
{
    quint8 x = 0;
    for (const char b : bytes)
        x ^= static_cast<quint8>(b);
    return x;
}

QByteArray BuildReaderFrame(QByteArrayView commandText)
{
    QByteArray frame;
    frame.append(ReaderRequestStart);
    frame.append(commandText);
    frame.append(ByteToHex(ReaderXor(frame)));
    frame.append(FrameTerminator);
    return frame;
}

QByteArray BuildReaderReplyFrame(QByteArrayView body)
{
    QByteArray frame;
    frame.append(ReaderReplyStart);
    frame.append(body);
    frame.append(ByteToHex(ReaderXor(frame)));
    frame.append(FrameTerminator);
    return frame;
}
