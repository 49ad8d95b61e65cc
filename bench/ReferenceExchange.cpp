#include "ReferenceExchange.h"

#include "Frame.h"
#include "ReplyAssembler.h"
#include "Transport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

int ReferenceExchange(Transport &transport, const QByteArray &command, int echoLength)
{
    ReplyAssembler assembler;
    transport.discardPending();
    transport.send(BuildRequestFrame(command));
    QElapsedTimer clock;
    clock.start();
    int result = 0;
    while (result == 0) {
        for (const char b : transport.takeReceived()) {
            if (!assembler.feed(b))
                continue;
            const ReplyCheck check = CheckReplyFrame(assembler.frame(), echoLength);
            assembler.reset();
            result = check.crcOk ? 1 : 11;
        }
        if (result != 0)
            break;
        QThread::msleep(5);
        QCoreApplication::processEvents();
        if (clock.elapsed() > 500)
            result = 2;
    }
    return result;
}
