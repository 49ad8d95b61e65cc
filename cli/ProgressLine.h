#pragma once

#include <QElapsedTimer>
#include <QString>

class ProgressState;
struct CliContext;

// The progress of a long verb on standard error, in words: "Card Data: 1200 of 10500 (11%),
// 40 s so far, about 5 min 10 s left". On a terminal one line is written over and over; into
// a pipe or a file a line is printed at each tenth of the way; with --json nothing is printed.
class ProgressLine
{
public:
    ProgressLine(CliContext &context, ProgressState &progress);
    ~ProgressLine();
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    // "45 s", "3 min 5 s", "1 h 20 min".
    static QString DurationText(qint64 milliseconds);

private:
    void update();
    void finish();
    QString text() const;

    CliContext &context_;
    ProgressState &progress_;
    const bool terminal_;
    QElapsedTimer clock_;
    int tenthShown_ = -1;
    qsizetype width_ = 0; // of the line a terminal shows now
};
