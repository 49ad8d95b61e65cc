#pragma once

#include "TraceSink.h"

#include <QMutex>
#include <QStringList>
#include <deque>

// The last lines of a trace, kept in memory for a "Save log" after the fact; the oldest go
// when the buffer is full. Links on several threads may feed one buffer.
class TraceBuffer : public TraceSink
{
    Q_OBJECT

public:
    static constexpr int DefaultCapacity = 50000;

    explicit TraceBuffer(int capacity = DefaultCapacity, QObject *parent = nullptr);

    QStringList lines() const;
    int size() const;
    void clear();
    // Writes every line to the file; false with a message in error when it cannot.
    bool saveTo(const QString &path, QString &error) const;

protected:
    void writeLine(const QString &line) override;

private:
    int capacity_;
    mutable QMutex mutex_;
    std::deque<QString> lines_;
};
