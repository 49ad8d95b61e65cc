#pragma once

#include <QByteArray>
#include <array>

// The desk reader's side of its link: recognises one request frame
// (0x09 text two XOR digits CR), fed one byte at a time.
class ReaderRequestAssembler
{
public:
    static constexpr int BufferSize = 1024;

    struct Request
    {
        QByteArray commandText;
        bool xorOk = false;
    };

    void reset() { index_ = -1; }
    bool feed(char byte);
    Request request() const;

private:
    std::array<char, BufferSize> buffer_{};
    int index_ = -1;
};
