#include "LogRelay.h"

#include <QMutexLocker>
#include <QRecursiveMutex>

namespace {

// The relay messages go to now; the handler is a plain function and needs to find it.
// Recursive: a slot that logs while the relay emits must not wait for itself.
QRecursiveMutex relayLock;
LogRelay *current = nullptr;

QString TypeName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("debug");
    case QtInfoMsg:
        return QStringLiteral("info");
    case QtWarningMsg:
        return QStringLiteral("warning");
    case QtCriticalMsg:
        return QStringLiteral("critical");
    case QtFatalMsg:
        return QStringLiteral("fatal");
    }
    return QString();
}

} // namespace

LogRelay::LogRelay(QObject *parent) : QObject(parent)
{
    const QMutexLocker lock(&relayLock);
    outer_ = current;
    current = this;
    previous_ = qInstallMessageHandler(&LogRelay::handle);
}

LogRelay::~LogRelay()
{
    const QMutexLocker lock(&relayLock);
    qInstallMessageHandler(previous_);
    current = outer_;
}

QString LogRelay::LineFor(QtMsgType type, const char *category, const QString &text)
{
    return QString::fromLatin1(category) + QLatin1Char(' ') + TypeName(type) + QLatin1String(": ") +
           text;
}

void LogRelay::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    QtMessageHandler previous = nullptr;
    {
        const QMutexLocker lock(&relayLock);
        if (current) {
            // The handler before the first relay: inner relays were installed over it.
            const LogRelay *first = current;
            while (first->outer_ && first->previous_ == &LogRelay::handle)
                first = first->outer_;
            previous = first->previous_ == &LogRelay::handle ? nullptr : first->previous_;
            const char *category = context.category ? context.category : "default";
            if (qstrncmp(category, "kt480.", 6) == 0)
                emit current->message(LineFor(type, category, text));
        }
    }
    if (previous)
        previous(type, context, text);
    else
        qt_message_output(type, context, text);
}
