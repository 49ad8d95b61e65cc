#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>
#include <cstdio>

// A write-only device that passes everything on to a standard stream at once and remembers
// how much it passed on and, if asked, what (the first 64 KiB): kt480ctl tells from it whether a
// verb printed anything, and what it said on standard error.
class StreamRelay : public QIODevice
{
public:
    explicit StreamRelay(FILE *stream, bool keepCopy = false);

    qint64 written() const { return written_; }
    // The lines of the copy as a terminal showed them last: a progress line overwritten after
    // a carriage return counts as its last state, blank lines are left out.
    QString shownLines() const;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    static constexpr qsizetype CopyLimit = 64 * 1024;

    QFile file_;
    bool keepCopy_;
    qint64 written_ = 0;
    QByteArray copy_;
};
