#pragma once

#include <QtGlobal>

class StreamRelay;

// The program's own log messages (warnings always, debug and info with --verbose) go to
// standard error through the relay the verb writes to, in Qt's usual form ("kt480.records:
// text"): --json's error then names them too, and a verb that repeats one is not heard twice.
// Qt's message handler is process-wide: installed for the object's lifetime, the previous one
// restored at its end.
class CliMessages
{
public:
    explicit CliMessages(StreamRelay &standardError);
    ~CliMessages();
    CliMessages(const CliMessages &) = delete;
    CliMessages &operator=(const CliMessages &) = delete;

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);

    QtMessageHandler previous_ = nullptr;
};
