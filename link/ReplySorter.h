#pragma once

#include "ReplyAssembler.h"

#include <QByteArray>
#include <optional>

// What a reply frame with a correct CRC says to the request it came after.
struct ReplyVerdict
{
    // A Comm::Result: Accepted, a controller error, Incomplete, or NotSent for a frame that
    // answers another command.
    int result = 0;
    QByteArray payload;
};

// Checks one reply body against the request: its echo, an error reply, a reply that repeats
// only the start of the echo.
ReplyVerdict JudgeReply(const QByteArray &body, const QByteArray &command, int echoLength);

// Sorts the bytes that arrive for one request. The first frame that answers the request is its
// reply; a second answer that differs, or an answer broken off by the start of another frame,
// leaves the request without a trustworthy reply (Ambiguous). Every frame the request does not
// take is counted, so that the retry policy can tell whether a lost reply explains it: a card or
// parameter reply does not name what it answers, and an unexplained frame means a reply may
// have passed for another one.
class ReplySorter
{
public:
    ReplySorter(const QByteArray &command, int echoLength);

    const QByteArray &command() const { return command_; }

    // Feeds the bytes received in one batch; returns the request's result once it has one
    // (Comm::NotSent while it waits). A damaged frame ends the batch.
    int feed(const QByteArray &bytes);

    // The payload of the reply taken (Accepted or a controller error).
    QByteArray payload() const { return payload_; }
    // The whole body of the reply taken, echo included; empty while none is.
    QByteArray takenBody() const { return takenBody_.value_or(QByteArray()); }
    // Frames seen that the request did not take; with `result` the exchange's end result.
    int framesNotTaken(int result) const;

    // Frames in bytes no request waits for (dropped before a request, or left after one): whole
    // frames, and the start of a reply that another frame broke off or that is still arriving.
    static int CountFrames(const QByteArray &bytes);

private:
    // The frame in the assembler is the start of a reply: 0x03 and four Device ID digits.
    static bool OpenReply(const ReplyAssembler &assembler);
    void take(const ReplyVerdict &verdict, const QByteArray &body);

    QByteArray command_;
    int echoLength_;
    ReplyAssembler assembler_;
    int framesSeen_ = 0;
    bool brokenReply_ = false;
    std::optional<QByteArray> takenBody_;
    int takenResult_ = 0;
    bool differs_ = false;
    bool damaged_ = false;
    QByteArray payload_;
};
