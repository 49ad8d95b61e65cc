#include "ReadOutcome.h"

#include "OutcomeText.h"

QString ReadOutcome::endName() const
{
    switch (end) {
    case End::EndOfLog:
        return QStringLiteral("end-of-log");
    case End::Limit:
        return QStringLiteral("limit");
    case End::Stopped:
        return QStringLiteral("stopped");
    case End::Errors:
        break;
    }
    return QStringLiteral("errors");
}

QString ReadOutcome::summary(bool kept) const
{
    QStringList lines;
    lines << tr("%n event(s) read.", nullptr, read);
    switch (end) {
    case End::EndOfLog:
        lines << tr("The controller's event log was read to its end.");
        break;
    case End::Limit:
        lines << tr("The read stopped at the limit of %n event(s).", nullptr, limit);
        break;
    case End::Stopped:
        lines << tr("The read was cancelled by the user.");
        break;
    case End::Errors:
        lines << tr("The read was stopped by errors:") << problems;
        break;
    }
    if (remaining && *remaining > 0)
        lines << tr("%n event(s) are still in the controller.", nullptr, *remaining);
    if (unknown > 0)
        lines << tr("%n event(s) of an unknown kind were kept with code 0.", nullptr, unknown);
    if (duplicates > 0)
        lines << tr("%n event(s) sent again by the controller were kept once.", nullptr,
                    duplicates);
    const QString text = lines.join(QLatin1Char('\n'));
    if (end == End::Errors || !kept)
        return OutcomeText({text});
    if (end == End::Stopped)
        return text;
    return OutcomeText({}) + QLatin1Char('\n') + text;
}
