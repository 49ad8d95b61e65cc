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

protected:
    void writeLine(const QString &line) override;

private:
    QMutex mutex_;
    QFile file_;
};
