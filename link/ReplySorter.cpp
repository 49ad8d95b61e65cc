#include "ReplySorter.h"

#include "Comm.h"
#include "Frame.h"

namespace {

constexpr int ShortEchoLength = 6;
constexpr int DeviceIdDigits = 4;

// Codes a controller may echo in place of the one sent: a KT760NT answers "QB" as "AB".
bool IsAlternativeEcho(const QByteArray &sent, const QByteArray &echoed)
{
    if (sent.size() < 6 || echoed.size() != sent.size())
        return false;
    if (sent.mid(4, 2) != "QB" || echoed.mid(4, 2) != "AB")
        return false;
    return sent.left(4) == echoed.left(4) && sent.mid(6) == echoed.mid(6);
}

bool IsShortErrorEcho(const QByteArray &body, const QByteArray &sent)
{
    return body.size() == ShortEchoLength + 2 && body[ShortEchoLength] == ErrorMark &&
           body.left(ShortEchoLength) == sent.left(ShortEchoLength);
}

// A body that is only the start of the echo, the Device ID at least: an answer to this command
// that stops short, not one to another command.
bool IsPartialEcho(const QByteArray &body, const QByteArray &sent, int echoLength)
{
    return body.size() >= DeviceIdDigits && body.size() < echoLength && sent.startsWith(body);
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

ReplyVerdict JudgeReply(const QByteArray &body, const QByteArray &command, int echoLength)
{
    const qsizetype skip = qMax(echoLength, 0);
    QByteArray payload = skip < body.size() ? body.mid(skip) : QByteArray();
    // A reply to an earlier command (one that timed out) must not pass for this one.
    const int k = qMin(echoLength, static_cast<int>(command.size()));
    if (k > 0) {
        const QByteArray echoed = body.left(k);
        if (echoed != command.left(k) && !IsAlternativeEcho(command.left(k), echoed)) {
            // An error reply echoes only the Device ID and the two code letters, also to a
            // command whose echo is longer (the four-character codes of the defaults).
            if (IsShortErrorEcho(body, command))
                payload = body.mid(ShortEchoLength);
            else if (IsPartialEcho(body, command, k))
                return {Comm::Incomplete, {}};
            else
                return {Comm::NotSent, {}};
        }
    }
    if (payload.size() == 2 && payload[0] == ErrorMark) {
        const char letter = payload[1];
        if (letter < 'A' || letter > 'G')
            return {Comm::NotSent, {}};
        return {Comm::ControllerErrorA + (letter - 'A'), payload};
    }
    return {Comm::Accepted, payload};
}

ReplySorter::ReplySorter(const QByteArray &command, int echoLength)
    : command_(command), echoLength_(echoLength)
{
}

bool ReplySorter::OpenReply(const ReplyAssembler &assembler)
{
    const QByteArray frame = assembler.frame();
    if (frame.size() < 1 + DeviceIdDigits || frame.front() != ReplyStart)
        return false;
    for (int i = 1; i <= DeviceIdDigits; ++i) {
        if (!IsDigit(frame[i]))
            return false;
    }
    return true;
}

int ReplySorter::feed(const QByteArray &bytes)
{
    for (const char b : bytes) {
        if (b == ReplyStart && OpenReply(assembler_)) {
            ++framesSeen_;
            brokenReply_ = true;
        }
        if (!assembler_.feed(b))
            continue;
        const ReplyCheck check = CheckReplyFrame(assembler_.frame(), 0);
        assembler_.reset();
        ++framesSeen_;
        if (!check.crcOk) {
            damaged_ = true;
            break;
        }
        const ReplyVerdict verdict = JudgeReply(check.body, command_, echoLength_);
        if (verdict.result != Comm::NotSent)
            take(verdict, check.body);
    }
    if (damaged_)
        return Comm::CrcMismatch;
    if (!takenBody_)
        return Comm::NotSent;
    if (differs_ || brokenReply_)
        return Comm::Ambiguous;
    return takenResult_;
}

void ReplySorter::take(const ReplyVerdict &verdict, const QByteArray &body)
{
    if (!takenBody_) {
        takenBody_ = body;
        takenResult_ = verdict.result;
        payload_ = verdict.payload;
        return;
    }
    if (body != *takenBody_)
        differs_ = true;
}

int ReplySorter::framesNotTaken(int result) const
{
    const bool answered = result != Comm::NotSent && result != Comm::TimedOut;
    return answered && framesSeen_ > 0 ? framesSeen_ - 1 : framesSeen_;
}

int ReplySorter::CountFrames(const QByteArray &bytes)
{
    ReplyAssembler assembler;
    int frames = 0;
    for (const char b : bytes) {
        if (b == ReplyStart && OpenReply(assembler))
            ++frames;
        if (assembler.feed(b)) {
            ++frames;
            assembler.reset();
        }
    }
    return OpenReply(assembler) ? frames + 1 : frames;
}
