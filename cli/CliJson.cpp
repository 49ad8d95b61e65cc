#include "CliJson.h"

#include "CliContext.h"

#include <QJsonDocument>
#include <QJsonObject>

void PrintJson(CliContext &context, const QJsonObject &object)
{
    context.out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n' << Qt::flush;
}
