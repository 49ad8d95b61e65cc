#include "ReplyAssembler.h"

#include "Frame.h"

void ReplyAssembler::reset()
{
    index_ = -1;
    startMark_ = 0;
    endMark_ = 0;
}

bool ReplyAssembler::feed(char byte)
{
    if (byte == ReplyStart) {
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
    if (byte == ReplyStart)
        startMark_ = index_;
    else if (byte == ReplyEnd)
        endMark_ = index_;
    else if (byte == FrameTerminator && startMark_ != 0 && endMark_ != 0 &&
             startMark_ + 4 < endMark_) {
        return true;
    }
    return false;
}

QByteArray ReplyAssembler::frame() const
{
    return index_ > 0 ? QByteArray(buffer_.data(), index_) : QByteArray();
}

ReplyCheck CheckReplyFrame(const QByteArray &frame, int echoLength)
{
    ReplyCheck check;
    const int firstEnd = frame.indexOf(ReplyEnd);
    const int lastEnd = frame.lastIndexOf(ReplyEnd);
    if (frame.isEmpty() || frame.front() != ReplyStart || firstEnd < 0)
        return check;
    const QByteArray expected = CrcToHex(Crc16Arc(QByteArrayView(frame).first(firstEnd + 1)));
    check.crcOk = frame.mid(firstEnd + 1, 4) == expected;
    check.body = frame.mid(1, lastEnd - 1);
    if (echoLength < 0)
        echoLength = 0;
    if (echoLength < check.body.size())
        check.payload = check.body.mid(echoLength);
    return check;
}
