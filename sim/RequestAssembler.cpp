#include "RequestAssembler.h"

#include "Frame.h"

namespace {
constexpr int CrcDigits = 4;
}

void RequestAssembler::reset()
{
    index_ = -1;
    endMark_ = 0;
}

bool RequestAssembler::feed(char byte)
{
    if (byte == RequestStart) {
        index_ = 0;
        endMark_ = 0;
    }
    if (index_ < 0)
        return false;
    buffer_[index_++] = byte;
    if (index_ >= BufferSize) {
        reset();
        return false;
    }
    if (byte == RequestEnd && endMark_ == 0) {
        endMark_ = index_;
        return false;
    }
    if (byte != FrameTerminator || endMark_ == 0)
        return false;
    if (index_ == endMark_ + CrcDigits + 1)
        return true;
    // A CR in the wrong place: the frame is broken, wait for the next start.
    reset();
    return false;
}

RequestAssembler::Request RequestAssembler::request() const
{
    Request r;
    if (index_ <= 0 || endMark_ == 0)
        return r;
    const QByteArrayView frame(buffer_.data(), index_);
    r.commandText = frame.sliced(1, endMark_ - 2).toByteArray();
    r.crcOk = frame.sliced(endMark_, CrcDigits) == CrcToHex(Crc16Arc(frame.first(endMark_)));
    return r;
}
