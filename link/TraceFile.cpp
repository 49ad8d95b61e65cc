#include "TraceFile.h"

#include "LinkLog.h"

TraceFile::TraceFile(QObject *parent) : TraceSink(parent) {}

bool TraceFile::open(const QString &path)
{
    const QMutexLocker lock(&mutex_);
    file_.setFileName(path);
    return file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);
}

void TraceFile::writeLine(const QString &line)
{
    const QMutexLocker lock(&mutex_);
    if (!file_.isOpen())
        return;
    if (file_.write((line + QLatin1Char('\n')).toUtf8()) >= 0 && file_.flush())
        return;
    if (lostLines_++ == 0)
        qCWarning(lcLink) << "trace file" << file_.fileName() << ":" << file_.errorString();
}

qsizetype TraceFile::lostLines() const
{
    const QMutexLocker lock(&mutex_);
    return lostLines_;
}
