#include "ParamResult.h"

#include <QCoreApplication>

void ParamResult::fail(const QString &code, const QString &message)
{
    success = false;
    if (!code.isEmpty())
        failedCodes.append(code);
    if (!message.isEmpty())
        messages.append(message);
}

void ParamResult::fail(const QString &message)
{
    fail(QString(), message);
}

void ParamResult::merge(const ParamResult &other)
{
    success = success && other.success;
    failedCodes += other.failedCodes;
    messages += other.messages;
    values += other.values;
}

QString ParamResult::valueOf(const QString &code) const
{
    for (const ParamValue &v : values) {
        if (v.code == code)
            return v.value;
    }
    return QString();
}

QString ParamResult::reportText() const
{
    if (success)
        return QStringLiteral("OK!");
    QStringList lines{QStringLiteral("Error!")};
    lines += messages;
    return lines.join(QLatin1Char('\n'));
}

QString CodeList(const QStringList &codes, int shown)
{
    if (codes.size() <= shown)
        return codes.join(QLatin1String(", "));
    return codes.mid(0, shown).join(QLatin1String(", ")) +
           QCoreApplication::translate("ParamResult", " and %1 more").arg(codes.size() - shown);
}
