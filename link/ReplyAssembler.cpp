#include "ReplyAssembler.h"

ReplyCheck CheckReplyFrame(const QByteArray &frame, int echoLength)
{
    const FrameCheck frameCheck = CheckFrame(frame, ReplyMarks);
    ReplyCheck check;
    check.crcOk = frameCheck.crcOk;
    check.body = frameCheck.text;
    if (echoLength < 0)
        echoLength = 0;
    if (echoLength < check.body.size())
        check.payload = check.body.mid(echoLength);
    return check;
}
