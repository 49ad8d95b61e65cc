#include "ReaderAssembler.h"

bool ReaderAssembler::feed(char byte)
{
    if (byte == start_)
        index_ = 0;
    if (index_ < 0)
        return false;
    buffer_[index_++] = byte;
    if (index_ >= BufferSize) {
        index_ = -1;
        return false;
    }
    return byte == FrameTerminator && buffer_[0] == start_;
}

QByteArray ReaderAssembler::frame() const
{
    return index_ > 0 ? QByteArray(buffer_.data(), index_) : QByteArray();
}

ReaderCheck CheckReaderFrame(const QByteArray &frame, int echoLength)
{
    ReaderCheck check;
    const qsizetype stored = frame.size();
    const bool framed = stored >= 4 && frame.back() == FrameTerminator &&
                        (frame.front() == ReaderReplyStart || frame.front() == ReaderRequestStart);
    if (!framed)
        return check;
    const qsizetype digitsAt = stored - 3;
    check.xorOk =
        frame.mid(digitsAt, 2) == ByteToHex(ReaderXor(QByteArrayView(frame).first(digitsAt)));
    if (echoLength < 0)
        echoLength = 0;
    const qsizetype length = stored - 4 - echoLength;
    if (length > 0)
        check.payload = frame.mid(1 + echoLength, length);
    return check;
}
