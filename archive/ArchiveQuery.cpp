#include "ArchiveQuery.h"

#include <QStringList>

namespace {

const QString MomentForm = QStringLiteral("yyyy/MM/dd HH:mm:ss");

} // namespace

QString ArchiveQuery::description() const
{
    QStringList parts;
    parts << (controller.isEmpty() ? QStringLiteral("every controller")
                                   : QStringLiteral("controller ") + controller);
    if (filter.since && filter.until)
        parts << filter.since->toString(MomentForm) + QStringLiteral(" to ") +
                     filter.until->toString(MomentForm);
    else if (filter.since)
        parts << QStringLiteral("from ") + filter.since->toString(MomentForm);
    else if (filter.until)
        parts << QStringLiteral("until ") + filter.until->toString(MomentForm);
    if (filter.card)
        parts << QStringLiteral("card ") + *filter.card;
    if (!filter.codeRanges.isEmpty()) {
        QStringList codes;
        for (const auto &[low, high] : filter.codeRanges)
            codes << (low == high ? QString::number(low)
                                  : QStringLiteral("%1-%2").arg(low).arg(high));
        parts << QStringLiteral("codes ") + codes.join(QLatin1Char(','));
    }
    if (limit > 0)
        parts << QStringLiteral("at most %1 events").arg(limit);
    return parts.join(QStringLiteral(", "));
}
