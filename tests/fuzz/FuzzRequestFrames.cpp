// Requests as the simulated controller meets them: any byte stream through its line service,
// which assembles and checks each request and answers it. Every reply it writes must be one
// well-formed reply frame, whatever the request held.
#include "ControllerBus.h"
#include "FuzzFrames.h"
#include "FuzzTargets.h"
#include "LineService.h"
#include "ReplyAssembler.h"
#include "RequestAssembler.h"

#include <memory>

namespace {

constexpr qsizetype LargestFrame = FrameAssembler::BufferSize - 1;
constexpr qsizetype FrameOverhead = 7;

// One controller, ID 1, set back to the same data before every input.
struct Line
{
    Line()
    {
        bus.add(std::make_unique<SimController>(initial, [] { return fixedTime; }));
    }

    inline static const QDateTime fixedTime =
        QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC);
    const ControllerData initial = [] {
        ControllerData d = ControllerData::factory();
        d.cards = GeneratedCards(3);
        d.events = GeneratedEvents(3);
        return d;
    }();
    ControllerBus bus;
    SharedFaults faults;
    LineService service{bus, faults, 1};
};

void CheckReplies(const QList<QByteArray> &written)
{
    for (const QByteArray &frame : written) {
        ReplyAssembler assembler;
        int completed = 0;
        for (qsizetype i = 0; i < frame.size(); ++i) {
            if (assembler.feed(frame[i])) {
                ++completed;
                FUZZ_REQUIRE(i == frame.size() - 1);
                assembler.reset();
            }
        }
        FUZZ_REQUIRE(completed == 1);
        const ReplyCheck check = CheckReplyFrame(frame, 0);
        FUZZ_REQUIRE(check.crcOk);
        FUZZ_REQUIRE(check.body == frame.mid(1, frame.size() - FrameOverhead));
    }
}

} // namespace

namespace Fuzz {

void RequestFrames(QByteArrayView input)
{
    static Line line;
    line.bus.at(0).state().set(line.initial);
    QList<QByteArray> written;
    const auto writer = [&written](const QByteArray &bytes) { written << bytes; };

    RequestAssembler assembler;
    line.service.receive(assembler, input.toByteArray(), writer);
    CheckReplies(written);

    // The input as the text of a request with a correct CRC: only the bytes that would end
    // the frame early are left out, so framing bytes inside the text still reach the
    // controller.
    written.clear();
    const QByteArray text =
        Without(input, QByteArray("\x01\x02\x0D", 3), LargestFrame - FrameOverhead);
    if (text.isEmpty())
        return;
    const QByteArray frame = BuildRequestFrame(text);
    RequestAssembler fresh;
    QByteArray completed;
    for (const char b : frame) {
        if (fresh.feed(b)) {
            completed = fresh.frame();
            fresh.reset();
        }
    }
    FUZZ_REQUIRE(completed == frame);
    const RequestCheck check = CheckRequestFrame(completed);
    FUZZ_REQUIRE(check.crcOk);
    FUZZ_REQUIRE(check.commandText == text);
    line.service.receive(fresh, frame, writer);
    CheckReplies(written);
}

} // namespace Fuzz
