// Controller replies: any byte stream through the reply assembler and check.
#include "FuzzFrames.h"
#include "FuzzTargets.h"
#include "ReplyAssembler.h"

namespace {

// The largest frame the assembler completes: its buffer must not fill up.
constexpr qsizetype LargestFrame = FrameAssembler::BufferSize - 1;
constexpr qsizetype FrameOverhead = 7; // start, end, four CRC digits, CR

void CheckCompleted(const QByteArray &frame, int echoLength)
{
    FUZZ_REQUIRE(frame.size() <= LargestFrame);
    FUZZ_REQUIRE(frame.front() == ReplyStart);
    FUZZ_REQUIRE(frame.back() == FrameTerminator);
    FUZZ_REQUIRE(frame.count(ReplyStart) == 1);

    const ReplyCheck check = CheckReplyFrame(frame, echoLength);
    // A frame completes only with at least four body bytes before its last end byte.
    FUZZ_REQUIRE(check.body.size() >= 4);
    FUZZ_REQUIRE(check.body == frame.mid(1, frame.lastIndexOf(ReplyEnd) - 1));
    FUZZ_REQUIRE(check.payload ==
                 (echoLength < check.body.size() ? check.body.mid(echoLength) : QByteArray()));
    const qsizetype firstEnd = frame.indexOf(ReplyEnd);
    const QByteArray digits = CrcToHex(Fuzz::BitwiseCrc16Arc(frame.first(firstEnd + 1)));
    FUZZ_REQUIRE(check.crcOk == (frame.mid(firstEnd + 1, 4) == digits));
}

} // namespace

namespace Fuzz {

void ReplyFrames(QByteArrayView input)
{
    const EchoAndStream in = SplitEchoAndStream(input);
    ReplyAssembler assembler;
    for (const char b : in.stream) {
        if (!assembler.feed(b))
            continue;
        CheckCompleted(assembler.frame(), in.echoLength);
        assembler.reset();
    }

    // Whatever came before, a well-formed reply that follows is found whole and passes.
    const QByteArray body =
        Without(in.stream, QByteArray("\x03\x04\x0D", 3), LargestFrame - FrameOverhead);
    if (body.size() < 4)
        return;
    const QByteArray reply = BuildReplyFrame(body);
    QByteArray last;
    for (const char b : reply) {
        if (assembler.feed(b)) {
            last = assembler.frame();
            assembler.reset();
        }
    }
    FUZZ_REQUIRE(last == reply);
    const ReplyCheck check = CheckReplyFrame(last, in.echoLength);
    FUZZ_REQUIRE(check.crcOk);
    FUZZ_REQUIRE(check.body == body);
}

} // namespace Fuzz
