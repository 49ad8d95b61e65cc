#include "TraceSink.h"

#include "Comm.h"

#include <QDateTime>

namespace {

QString kindOf(Comm::Traffic traffic)
{
    switch (traffic) {
    case Comm::Traffic::Sent:
        return QStringLiteral("tx");
    case Comm::Traffic::Received:
        return QStringLiteral("rx");
    case Comm::Traffic::DroppedStale:
        return QStringLiteral("rx-stale");
    case Comm::Traffic::ReaderSent:
        return QStringLiteral("reader-tx");
    case Comm::Traffic::ReaderReceived:
        return QStringLiteral("reader-rx");
    }
    return QStringLiteral("?");
}

} // namespace

void TraceSink::attach(Comm &comm, const QString &label)
{
    // Direct: lines are written on the link's own thread, in the order things happened.
    connect(
        &comm, &Comm::traffic, this,
        [this, label](Comm::Traffic traffic, const QByteArray &bytes) {
            record(label, kindOf(traffic), bytes);
        },
        Qt::DirectConnection);
    connect(
        &comm, &Comm::logLine, this,
        [this, label](const QString &text) { note(label, QStringLiteral("log"), text); },
        Qt::DirectConnection);
    connect(
        &comm, &Comm::tcpConnected, this,
        [this, label] { note(label, QStringLiteral("link"), QStringLiteral("TCP connected")); },
        Qt::DirectConnection);
    connect(
        &comm, &Comm::tcpDisconnected, this,
        [this, label] { note(label, QStringLiteral("link"), QStringLiteral("TCP disconnected")); },
        Qt::DirectConnection);
    connect(
        &comm, &Comm::tcpError, this,
        [this, label](const QString &message) {
            note(label, QStringLiteral("link"), QStringLiteral("TCP error: ") + message);
        },
        Qt::DirectConnection);
}

void TraceSink::record(const QString &label, const QString &kind, const QByteArray &bytes)
{
    writeLine(line(label, kind, hex(bytes)));
}

void TraceSink::note(const QString &label, const QString &kind, const QString &text)
{
    writeLine(line(label, kind, text));
}

QString TraceSink::line(const QString &label, const QString &kind, const QString &text)
{
    QString result =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    if (!label.isEmpty())
        result += QLatin1Char(' ') + label;
    return result + QLatin1Char(' ') + kind + QLatin1Char(' ') + text;
}

QString TraceSink::hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}
