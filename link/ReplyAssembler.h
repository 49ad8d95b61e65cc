#pragma once

#include <QByteArray>
#include <array>

// Recognises one controller reply frame (0x03 body 0x04 CRC CR) in a stream of bytes,
// fed one byte at a time.
class ReplyAssembler
{
public:
    static constexpr int BufferSize = 1024;

    void reset();
    // True when this byte completed a frame; frame() then holds it.
    bool feed(char byte);
    QByteArray frame() const;

private:
    std::array<char, BufferSize> buffer_{};
    int index_ = -1;
    int startMark_ = 0;
    int endMark_ = 0;
};

struct ReplyCheck
{
    bool crcOk = false;
    QByteArray body;    // everything between 0x03 and the last 0x04
    QByteArray payload; // body without its first echoLength characters
};

ReplyCheck CheckReplyFrame(const QByteArray &frame, int echoLength);
