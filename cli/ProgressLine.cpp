#include "ProgressLine.h"

#include "CliContext.h"
#include "ControllerSession.h"
#include "ProgressState.h"

#include <QObject>

namespace {

// An estimate of what is left is shown once this much of the way is behind.
constexpr qint64 EstimateAfterMs = 2000;

} // namespace

ProgressLine::ProgressLine(CliContext &context, ProgressState &progress)
    : context_(context), progress_(progress), terminal_(ControllerSession::stderrIsTerminal())
{
    if (context.json)
        return;
    QObject::connect(&progress, &ProgressState::started, &progress, [this] {
        clock_.start();
        tenthShown_ = -1;
    });
    QObject::connect(&progress, &ProgressState::changed, &progress, [this] { update(); });
    QObject::connect(&progress, &ProgressState::finished, &progress, [this] { finish(); });
}

ProgressLine::~ProgressLine()
{
    QObject::disconnect(&progress_, nullptr, &progress_, nullptr);
}

QString ProgressLine::DurationText(qint64 milliseconds)
{
    const qint64 seconds = (milliseconds + 500) / 1000;
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return seconds % 60 == 0
                   ? QStringLiteral("%1 min").arg(seconds / 60)
                   : QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    const qint64 minutes = (seconds + 30) / 60;
    return minutes % 60 == 0 ? QStringLiteral("%1 h").arg(minutes / 60)
                             : QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60);
}

QString ProgressLine::text() const
{
    const qint64 done = std::max<qint64>(progress_.stepsDone(), 0);
    const qint64 total = progress_.stepsTotal();
    const qint64 elapsed = clock_.isValid() ? clock_.elapsed() : 0;
    QString line = progress_.title() + QStringLiteral(": ");
    if (total > 0)
        line += QStringLiteral("%1 of %2 (%3%)").arg(done).arg(total).arg(done * 100 / total);
    else
        line += QString::number(done);
    line += QStringLiteral(", ") + DurationText(elapsed) + QStringLiteral(" so far");
    if (total > 0 && done > 0 && done < total && elapsed >= EstimateAfterMs)
        line += QStringLiteral(", about ") + DurationText(elapsed * (total - done) / done) +
                QStringLiteral(" left");
    return line;
}

void ProgressLine::update()
{
    if (!progress_.running() || !clock_.isValid())
        return;
    const QString line = text();
    if (terminal_) {
        context_.err << '\r' << line.leftJustified(width_) << Qt::flush;
        width_ = line.size();
        return;
    }
    const qint64 total = progress_.stepsTotal();
    const int tenth = total > 0 ? int(std::max<qint64>(progress_.stepsDone(), 0) * 10 / total) : -1;
    if (tenth > tenthShown_) {
        tenthShown_ = tenth;
        context_.err << line << '\n' << Qt::flush;
    }
}

void ProgressLine::finish()
{
    clock_.invalidate();
    if (terminal_ && width_ > 0) {
        context_.err << '\n' << Qt::flush;
        width_ = 0;
    }
}
