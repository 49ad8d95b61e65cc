#include "CliMessages.h"

#include "StreamRelay.h"

#include <QMutex>
#include <QMutexLocker>

namespace {

// The handler is a plain function and needs to find the relay; messages come from any thread.
QMutex relayLock;
StreamRelay *relay = nullptr;

} // namespace

CliMessages::CliMessages(StreamRelay &standardError)
{
    const QMutexLocker locker(&relayLock);
    relay = &standardError;
    previous_ = qInstallMessageHandler(&CliMessages::handle);
}

CliMessages::~CliMessages()
{
    const QMutexLocker locker(&relayLock);
    qInstallMessageHandler(previous_);
    relay = nullptr;
}

void CliMessages::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    {
        const QMutexLocker locker(&relayLock);
        if (relay) {
            relay->writeMessage(qFormatLogMessage(type, context, text), text);
            return;
        }
    }
    qt_message_output(type, context, text);
}
