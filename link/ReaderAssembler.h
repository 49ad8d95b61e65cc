#pragma once

#include "Frame.h"

#include <QByteArray>
#include <array>

// Recognises one desk-reader frame (start byte, text, two XOR digits, CR), fed one byte at a
// time: a reply (0x0A) on the utility's side, a request (0x09) on the simulated reader's.
class ReaderAssembler
{
public:
    static constexpr int BufferSize = 1024;

    explicit ReaderAssembler(char startByte = ReaderReplyStart) : start_(startByte) {}

    void reset() { index_ = -1; }
    bool feed(char byte);
    QByteArray frame() const;

private:
    char start_;
    std::array<char, BufferSize> buffer_{};
    int index_ = -1;
};

struct ReaderCheck
{
    bool xorOk = false;
    QByteArray payload;
};

// The payload is the text after its first echoLength characters (0 for a request's command).
ReaderCheck CheckReaderFrame(const QByteArray &frame, int echoLength);
