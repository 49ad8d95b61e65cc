#include "OutcomeText.h"

#include <QCoreApplication>

QString OutcomeText(const QStringList &problems)
{
    if (problems.isEmpty())
        return QStringLiteral("OK!");
    return QStringLiteral("Error!\n") + problems.join(QLatin1Char('\n'));
}

QString ShortList(const QStringList &items, int shown)
{
    if (items.size() <= shown)
        return items.join(QLatin1String(", "));
    return items.mid(0, shown).join(QLatin1String(", ")) +
           QCoreApplication::translate("OutcomeText", " and %1 more").arg(items.size() - shown);
}
