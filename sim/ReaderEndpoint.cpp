#include "ReaderEndpoint.h"

#include "Frame.h"

ReaderEndpoint::ReaderEndpoint(DeskReaderModel &reader, QObject *parent)
    : QObject(parent), reader_(reader)
{
    if (!pty_.isOpen())
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pty_.masterFd(), QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ReaderEndpoint::receive);
}

void ReaderEndpoint::receive()
{
    for (const char b : pty_.readAvailable()) {
        if (!assembler_.feed(b))
            continue;
        const ReaderCheck request = CheckReaderFrame(assembler_.frame(), 0);
        assembler_.reset();
        if (!request.xorOk)
            continue;
        const QByteArray body = reader_.handleRequest(request.payload);
        if (!body.isEmpty())
            pty_.write(BuildReaderReplyFrame(body));
    }
}
