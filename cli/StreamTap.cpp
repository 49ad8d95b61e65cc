#include "StreamTap.h"

namespace {

// Enough for every error a verb prints; a run that writes more keeps its last part.
constexpr qsizetype KeptBytes = 64 * 1024;

} // namespace

StreamTap::StreamTap(std::FILE *stream, bool keepText) : stream_(stream), keepText_(keepText)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString StreamTap::lines() const
{
    QStringList kept;
    for (const QByteArray &line : text_.split('\n')) {
        const QString shown = QString::fromUtf8(line.mid(line.lastIndexOf('\r') + 1)).trimmed();
        if (!shown.isEmpty())
            kept << shown;
    }
    return kept.join(QLatin1Char('\n'));
}

qint64 StreamTap::readData(char *, qint64)
{
    return -1;
}

qint64 StreamTap::writeData(const char *data, qint64 size)
{
    const qint64 done = qint64(std::fwrite(data, 1, size_t(size), stream_));
    std::fflush(stream_);
    written_ += done;
    if (keepText_) {
        text_.append(data, done);
        if (text_.size() > KeptBytes)
            text_.remove(0, text_.size() - KeptBytes);
    }
    return done;
}
