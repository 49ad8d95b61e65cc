#pragma once

#include <QByteArray>
#include <array>

// Recognises one desk-reader reply frame (0x0A body XOR CR), fed one byte at a time.
class ReaderAssembler
{
public:
    static constexpr int BufferSize = 1024;

    void reset() { index_ = -1; }
    bool feed(char byte);
    QByteArray frame() const;

private:
    std::array<char, BufferSize> buffer_{};
    int index_ = -1;
};

struct ReaderCheck
{
    bool xorOk = false;
    QByteArray payload;
};

ReaderCheck CheckReaderFrame(const QByteArray &frame, int echoLength);
