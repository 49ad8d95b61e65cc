#pragma once

#include "TraceSink.h"

#include <QFile>
#include <QMutex>

// A trace written to a file as it happens, each line flushed, so that a run that ends badly
// still leaves everything up to its end. Links on several threads may share one file.
class TraceFile : public TraceSink
{
    Q_OBJECT

public:
    explicit TraceFile(QObject *parent = nullptr);

    // Creates or empties the file; false with errorString() when it cannot be written.
    bool open(const QString &path);
    QString errorString() const { return file_.errorString(); }
    // Lines that could not be written (a full disk): the first is warned about, the rest only
    // counted, so that the warnings do not bury everything else.
    qsizetype lostLines() const;

protected:
    void writeLine(const QString &line) override;

private:
    mutable QMutex mutex_;
    QFile file_;
    qsizetype lostLines_ = 0;
};
