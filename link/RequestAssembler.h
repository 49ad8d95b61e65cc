#pragma once

#include "FrameAssembler.h"

// The controller's side of the link: recognises one request frame
// (0x01 command text 0x02 CRC CR) in a stream of bytes.
class RequestAssembler : public FrameAssembler
{
public:
    RequestAssembler() : FrameAssembler(RequestMarks) {}
};

struct RequestCheck
{
    bool crcOk = false;
    QByteArray commandText;
};

RequestCheck CheckRequestFrame(const QByteArray &frame);
