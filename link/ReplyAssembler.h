#pragma once

#include "FrameAssembler.h"

// Recognises one controller reply frame (0x03 body 0x04 CRC CR) in a stream of bytes.
class ReplyAssembler : public FrameAssembler
{
public:
    ReplyAssembler() : FrameAssembler(ReplyMarks) {}
};

struct ReplyCheck
{
    bool crcOk = false;
    QByteArray body;    // everything between 0x03 and the last 0x04
    QByteArray payload; // body without its first echoLength characters
};

ReplyCheck CheckReplyFrame(const QByteArray &frame, int echoLength);
