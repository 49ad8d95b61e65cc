#pragma once

#include "Frame.h"

#include <QByteArray>
#include <array>

// The bytes that delimit one kind of controller-link frame: a start byte, the byte that ends
// the text, and how many text bytes a frame needs before its CR completes it.
struct FrameMarks
{
    char start;
    char end;
    int minimumText;
};

// A reply body carries at least the four Device ID digits; a request at least one character.
inline constexpr FrameMarks ReplyMarks{ReplyStart, ReplyEnd, 4};
inline constexpr FrameMarks RequestMarks{RequestStart, RequestEnd, 1};

// Recognises one frame (start, text, end, four CRC digits, CR) in a stream of bytes, fed one
// byte at a time: bytes before a start byte are ignored, a start byte in mid-frame opens a new
// frame, and a frame longer than the buffer is dropped. Both sides of the link use it: the
// utility for replies, the simulated controller for requests.
class FrameAssembler
{
public:
    static constexpr int BufferSize = 1024;

    explicit FrameAssembler(FrameMarks marks) : marks_(marks) {}

    void reset();
    // True when this byte completed a frame; frame() then holds it.
    bool feed(char byte);
    QByteArray frame() const;

private:
    FrameMarks marks_;
    std::array<char, BufferSize> buffer_{};
    int index_ = -1;
    int startMark_ = 0;
    int endMark_ = 0;
};

struct FrameCheck
{
    // The CRC digits after the first end byte match the CRC from the start byte up to it.
    bool crcOk = false;
    // Everything between the start byte and the last end byte.
    QByteArray text;
};

FrameCheck CheckFrame(const QByteArray &frame, FrameMarks marks);
