#pragma once

#include <QObject>
#include <QString>

class Comm;

// Where the traffic of a link goes for support: every frame sent and every batch of bytes
// received, in hex with a timestamp, beside the link's diagnostic lines, so that a failed
// search or transfer can be read by someone who was not there. A sink is fed on the thread of
// the link it is attached to; several links (each with a label) may feed one sink.
class TraceSink : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Traces this link from now on, until the link or the sink is destroyed.
    void attach(Comm &comm, const QString &label = QString());
    // Traffic of a connection that is not a Comm (a network search probe): bytes in hex, or
    // an event as text.
    void record(const QString &label, const QString &kind, const QByteArray &bytes);
    void note(const QString &label, const QString &kind, const QString &text);

    // One trace line: local time with milliseconds, the label when there is one, the kind of
    // entry ("tx", "rx", "rx-stale", "reader-tx", "reader-rx", "log") and the text.
    static QString line(const QString &label, const QString &kind, const QString &text);
    // Bytes as two-digit upper-case hex, separated by spaces.
    static QString hex(const QByteArray &bytes);

protected:
    // Called on the link's thread for every finished line.
    virtual void writeLine(const QString &line) = 0;
};
