#include "StreamRelay.h"

#include <QStringList>
#include <algorithm>

StreamRelay::StreamRelay(FILE *stream, bool keepCopy) : keepCopy_(keepCopy)
{
    file_.open(stream, QIODevice::WriteOnly | QIODevice::Unbuffered);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString StreamRelay::shownLines() const
{
    QStringList shown;
    for (const QByteArray &line : copy_.split('\n')) {
        const QString last = QString::fromUtf8(line.mid(line.lastIndexOf('\r') + 1)).trimmed();
        if (!last.isEmpty())
            shown << last;
    }
    return shown.join(QLatin1Char('\n'));
}

qint64 StreamRelay::writeData(const char *data, qint64 size)
{
    // A closed standard stream swallows the text, as it would without the relay; the verb's
    // result does not depend on it.
    file_.write(data, size);
    file_.flush();
    written_ += size;
    // A progress line on a terminal writes for as long as the verb runs; the copy is for the
    // messages, which come first.
    if (keepCopy_ && copy_.size() < CopyLimit)
        copy_.append(data, std::min<qint64>(size, CopyLimit - copy_.size()));
    return size;
}
