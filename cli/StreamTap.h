#pragma once

#include <QIODevice>
#include <QString>
#include <cstdio>

// Standard output or error as a device that counts what went through it and, for the error
// stream, keeps the text, so that a --json run that failed before printing its result can
// still say why on standard output.
class StreamTap : public QIODevice
{
public:
    StreamTap(std::FILE *stream, bool keepText);

    qint64 written() const { return written_; }
    // The lines written so far, each as it last stood on a terminal (progress lines that were
    // overwritten with a carriage return are left out), without blank ones.
    QString lines() const;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    std::FILE *stream_;
    bool keepText_;
    qint64 written_ = 0;
    QByteArray text_;
};
