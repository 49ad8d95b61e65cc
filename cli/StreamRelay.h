#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QMutex>
#include <QSet>
#include <QString>
#include <cstdio>

// A write-only device that passes everything on to a standard stream at once and remembers
// how much it passed on and, if asked, what (the first 64 KiB): kt480ctl tells from it whether a
// verb printed anything, and what it said on standard error. The program's own messages come
// in through writeMessage(), from any thread; a line of the verb that repeats one of them is
// not printed again, so that an error the program logged and the verb reports shows once.
class StreamRelay : public QIODevice
{
public:
    explicit StreamRelay(FILE *stream, bool keepCopy = false);

    qint64 written() const;
    // The lines of the copy as a terminal showed them last: a progress line overwritten after
    // a carriage return counts as its last state, blank lines are left out.
    QString shownLines() const;
    // Writes a formatted message line; `text` is the message itself, which the verb may repeat.
    void writeMessage(const QString &line, const QString &text);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    static constexpr qsizetype CopyLimit = 64 * 1024;

    void pass(const QByteArray &bytes);

    mutable QMutex lock_;
    QFile file_;
    bool keepCopy_;
    qint64 written_ = 0;
    QByteArray copy_;
    QSet<QByteArray> messages_;
};
