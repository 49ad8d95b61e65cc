#include "TraceBuffer.h"

#include "WholeFileCommit.h"

#include <QSaveFile>

TraceBuffer::TraceBuffer(int capacity, QObject *parent)
    : TraceSink(parent), capacity_(std::max(1, capacity))
{
}

QStringList TraceBuffer::lines() const
{
    const QMutexLocker lock(&mutex_);
    return QStringList(lines_.cbegin(), lines_.cend());
}

int TraceBuffer::size() const
{
    const QMutexLocker lock(&mutex_);
    return static_cast<int>(lines_.size());
}

void TraceBuffer::clear()
{
    const QMutexLocker lock(&mutex_);
    lines_.clear();
}

bool TraceBuffer::saveTo(const QString &path, QString &error) const
{
    const QStringList all = lines();
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        for (const QString &line : all)
            file.write((line + QLatin1Char('\n')).toUtf8());
        if (CommitWhole(file))
            return true;
    }
    error = QStringLiteral("%1: %2").arg(path, file.errorString());
    return false;
}

void TraceBuffer::writeLine(const QString &line)
{
    const QMutexLocker lock(&mutex_);
    lines_.push_back(line);
    while (static_cast<int>(lines_.size()) > capacity_)
        lines_.pop_front();
}
