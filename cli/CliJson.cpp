#include "CliJson.h"

#include "CliContext.h"

#include <QJsonDocument>
#include <QJsonObject>

void PrintJson(CliContext &context, const QJsonObject &object)
{
    context.out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n' << Qt::flush;
}

QJsonArray JsonNumbers(const QList<int> &numbers)
{
    QJsonArray array;
    for (const int n : numbers)
        array.append(n);
    return array;
}
