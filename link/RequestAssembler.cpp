#include "RequestAssembler.h"

RequestCheck CheckRequestFrame(const QByteArray &frame)
{
    const FrameCheck frameCheck = CheckFrame(frame, RequestMarks);
    return {frameCheck.crcOk, frameCheck.text};
}
