#include "StreamRelay.h"

#include <QMutexLocker>
#include <QStringList>
#include <algorithm>

StreamRelay::StreamRelay(FILE *stream, bool keepCopy) : keepCopy_(keepCopy)
{
    file_.open(stream, QIODevice::WriteOnly | QIODevice::Unbuffered);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 StreamRelay::written() const
{
    const QMutexLocker locker(&lock_);
    return written_;
}

QString StreamRelay::shownLines() const
{
    const QMutexLocker locker(&lock_);
    QStringList shown;
    for (const QByteArray &line : copy_.split('\n')) {
        const QString last = QString::fromUtf8(line.mid(line.lastIndexOf('\r') + 1)).trimmed();
        if (!last.isEmpty())
            shown << last;
    }
    return shown.join(QLatin1Char('\n'));
}

void StreamRelay::writeMessage(const QString &line, const QString &text)
{
    const QMutexLocker locker(&lock_);
    messages_.insert(text.toUtf8());
    pass(line.toUtf8() + '\n');
}

qint64 StreamRelay::writeData(const char *data, qint64 size)
{
    const QMutexLocker locker(&lock_);
    const QByteArray bytes(data, size);
    QByteArray kept;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            kept += bytes.mid(start);
            break;
        }
        const QByteArray line = bytes.mid(start, end - start);
        if (!messages_.contains(line))
            kept += bytes.mid(start, end + 1 - start);
        start = end + 1;
    }
    pass(kept);
    return size;
}

void StreamRelay::pass(const QByteArray &bytes)
{
    // A closed standard stream swallows the text, as it would without the relay; the verb's
    // result does not depend on it.
    file_.write(bytes);
    file_.flush();
    written_ += bytes.size();
    // A progress line on a terminal writes for as long as the verb runs; the copy is for the
    // messages, which come first.
    if (keepCopy_ && copy_.size() < CopyLimit)
        copy_.append(bytes.left(CopyLimit - copy_.size()));
}
