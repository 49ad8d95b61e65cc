// Desk-reader replies: any byte stream through the reader assembler and check.
#include "FuzzFrames.h"
#include "FuzzTargets.h"
#include "ReaderAssembler.h"

namespace {

constexpr qsizetype LargestFrame = ReaderAssembler::BufferSize - 1;
constexpr qsizetype FrameOverhead = 4; // start, two XOR digits, CR

quint8 PlainXor(QByteArrayView bytes)
{
    quint8 x = 0;
    for (const char b : bytes)
        x = static_cast<quint8>(x ^ static_cast<quint8>(b));
    return x;
}

void CheckCompleted(const QByteArray &frame, int echoLength)
{
    FUZZ_REQUIRE(frame.size() <= LargestFrame);
    FUZZ_REQUIRE(frame.front() == ReaderReplyStart);
    FUZZ_REQUIRE(frame.back() == FrameTerminator);
    FUZZ_REQUIRE(frame.count(FrameTerminator) == 1);

    const ReaderCheck check = CheckReaderFrame(frame, echoLength);
    const qsizetype size = frame.size();
    if (size < FrameOverhead) {
        FUZZ_REQUIRE(!check.xorOk && check.payload.isEmpty());
        return;
    }
    FUZZ_REQUIRE(check.xorOk ==
                 (frame.mid(size - 3, 2) == ByteToHex(PlainXor(frame.first(size - 3)))));
    const qsizetype length = size - FrameOverhead - echoLength;
    FUZZ_REQUIRE(check.payload == (length > 0 ? frame.mid(1 + echoLength, length) : QByteArray()));
}

} // namespace

namespace Fuzz {

void ReaderFrames(QByteArrayView input)
{
    const EchoAndStream in = SplitEchoAndStream(input);
    ReaderAssembler assembler;
    for (const char b : in.stream) {
        if (!assembler.feed(b))
            continue;
        CheckCompleted(assembler.frame(), in.echoLength);
        assembler.reset();
    }

    const QByteArray body =
        Without(in.stream, QByteArray("\x0A\x0D", 2), LargestFrame - FrameOverhead);
    const QByteArray reply = BuildReaderReplyFrame(body);
    QByteArray last;
    for (const char b : reply) {
        if (assembler.feed(b)) {
            last = assembler.frame();
            assembler.reset();
        }
    }
    FUZZ_REQUIRE(last == reply);
    const ReaderCheck check = CheckReaderFrame(last, in.echoLength);
    FUZZ_REQUIRE(check.xorOk);
    FUZZ_REQUIRE(check.payload == body.mid(in.echoLength));
}

} // namespace Fuzz
