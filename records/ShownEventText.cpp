#include "ShownEventText.h"

#include <QCoreApplication>
#include <QRegularExpression>

QString ShownEventText(const QString &stored)
{
    static const QRegularExpression unknown(QStringLiteral("^Unknown event (.*) channel (.*)$"));
    const QRegularExpressionMatch match = unknown.match(stored);
    if (!match.hasMatch())
        return stored;
    return QCoreApplication::translate("ShownEventText", "Unknown event %1 channel %2")
        .arg(match.captured(1), match.captured(2));
}
