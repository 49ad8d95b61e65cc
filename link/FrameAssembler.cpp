#include "FrameAssembler.h"

namespace {
constexpr int CrcDigits = 4;
}

void FrameAssembler::reset()
{
    index_ = -1;
    startMark_ = 0;
    endMark_ = 0;
}

bool FrameAssembler::feed(char byte)
{
    if (byte == marks_.start) {
        index_ = 0;
        startMark_ = 0;
        endMark_ = 0;
    }
    if (index_ < 0)
        return false;
    buffer_[index_++] = byte;
    if (index_ >= BufferSize) {
        reset();
        return false;
    }
    if (byte == marks_.start)
        startMark_ = index_;
    else if (byte == marks_.end)
        endMark_ = index_;
    else if (byte == FrameTerminator && startMark_ != 0 && endMark_ != 0 &&
             startMark_ + marks_.minimumText < endMark_)
        return true;
    return false;
}

QByteArray FrameAssembler::frame() const
{
    return index_ > 0 ? QByteArray(buffer_.data(), index_) : QByteArray();
}

FrameCheck CheckFrame(const QByteArray &frame, FrameMarks marks)
{
    FrameCheck check;
    const qsizetype firstEnd = frame.indexOf(marks.end);
    const qsizetype lastEnd = frame.lastIndexOf(marks.end);
    if (frame.isEmpty() || frame.front() != marks.start || firstEnd < 0)
        return check;
    const QByteArray expected = CrcToHex(Crc16Arc(QByteArrayView(frame).first(firstEnd + 1)));
    check.crcOk = frame.mid(firstEnd + 1, CrcDigits) == expected;
    check.text = frame.mid(1, lastEnd - 1);
    return check;
}
