#include "ReaderRequestAssembler.h"

#include "Frame.h"

namespace {
// Start byte, two XOR digits and CR around the text.
constexpr int FramingBytes = 4;
} // namespace

bool ReaderRequestAssembler::feed(char byte)
{
    if (byte == ReaderRequestStart)
        index_ = 0;
    if (index_ < 0)
        return false;
    buffer_[index_++] = byte;
    if (index_ >= BufferSize) {
        reset();
        return false;
    }
    if (byte != FrameTerminator)
        return false;
    if (index_ >= FramingBytes)
        return true;
    reset();
    return false;
}

ReaderRequestAssembler::Request ReaderRequestAssembler::request() const
{
    Request r;
    if (index_ < FramingBytes)
        return r;
    const QByteArrayView frame(buffer_.data(), index_);
    const qsizetype digitsAt = index_ - 3;
    r.commandText = frame.sliced(1, digitsAt - 1).toByteArray();
    r.xorOk = frame.sliced(digitsAt, 2) == ByteToHex(ReaderXor(frame.first(digitsAt)));
    return r;
}
