#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Request and reply frames of the controller and of the MELOK9 desk reader.
// Pure functions: no I/O, so they can be tested and fuzzed alone.

inline constexpr char RequestStart = 0x01;
inline constexpr char RequestEnd = 0x02;
inline constexpr char ReplyStart = 0x03;
inline constexpr char ReplyEnd = 0x04;
inline constexpr char ErrorMark = 0x0E;
inline constexpr char ReaderRequestStart = 0x09;
inline constexpr char ReaderReplyStart = 0x0A;
inline constexpr char FrameTerminator = 0x0D;
inline constexpr int MaxCommandLength = 255;

// CRC-16/ARC (reflected polynomial 0xA001, initial value 0, no final XOR).
quint16 Crc16Arc(QByteArrayView bytes);

// Two upper-case hexadecimal digits, high nibble first.
QByteArray ByteToHex(quint8 byte);

// Four upper-case hexadecimal digits of a CRC, high byte first.
QByteArray CrcToHex(quint16 crc);

// A command text that fits the frame: 1 to 255 characters, none of them a framing byte.
bool IsValidCommandText(QByteArrayView text);

// 0x01, text, 0x02, CRC digits over 0x01..0x02, CR.
QByteArray BuildRequestFrame(QByteArrayView commandText);

// 0x03, body, 0x04, CRC digits over 0x03..0x04, CR (the controller side).
QByteArray BuildReplyFrame(QByteArrayView body);

quint8 ReaderXor(QByteArrayView bytes);

// 0x09, text, XOR digits over 0x09 and text, CR.
QByteArray BuildReaderFrame(QByteArrayView commandText);

// 0x0A, body, XOR digits over 0x0A and body, CR (the reader side).
QByteArray BuildReaderReplyFrame(QByteArrayView body);
