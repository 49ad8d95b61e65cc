#pragma once

#include <QByteArray>
#include <array>

// The controller's side of the link: recognises one request frame
// (0x01 text 0x02 four CRC digits CR) in a stream of bytes, fed one byte at a time.
class RequestAssembler
{
public:
    static constexpr int BufferSize = 1024;

    struct Request
    {
        QByteArray commandText;
        bool crcOk = false;
    };

    void reset();
    // True when this byte completed a frame; request() then holds it.
    bool feed(char byte);
    Request request() const;

private:
    std::array<char, BufferSize> buffer_{};
    int index_ = -1;
    int endMark_ = 0; // index just after the 0x02, 0 while not seen
};
