#include "FleetRecord.h"

#include "WholeFileCommit.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

bool FleetRecord::save(const QString &folder, QString &error) const
{
    const QJsonObject object{{QStringLiteral("name"), name},
                             {QStringLiteral("serialNumber"), serialNumber},
                             {QStringLiteral("version"), version},
                             {QStringLiteral("deviceId"), deviceId},
                             {QStringLiteral("time"), time.toString(Qt::ISODate)},
                             {QStringLiteral("parameters"), parameters},
                             {QStringLiteral("cards"), cards}};
    QSaveFile file(QDir(folder).filePath(FileName));
    if (file.open(QIODevice::WriteOnly) &&
        file.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) >= 0 && CommitWhole(file))
        return true;
    error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
    return false;
}

std::optional<FleetRecord> FleetRecord::load(const QString &folder, QString &error)
{
    QFile file(QDir(folder).filePath(FileName));
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(file.fileName(), file.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    const QJsonObject object = document.object();
    const QString serialNumber = object.value(QStringLiteral("serialNumber")).toString();
    if (parseError.error != QJsonParseError::NoError || serialNumber.isEmpty()) {
        error =
            QStringLiteral("%1: not a controller record (no serial number)").arg(file.fileName());
        return std::nullopt;
    }
    FleetRecord record;
    record.name = object.value(QStringLiteral("name")).toString();
    record.serialNumber = serialNumber;
    record.version = object.value(QStringLiteral("version")).toString();
    record.deviceId = object.value(QStringLiteral("deviceId")).toString();
    record.time =
        QDateTime::fromString(object.value(QStringLiteral("time")).toString(), Qt::ISODate);
    record.parameters = object.value(QStringLiteral("parameters")).toInt();
    record.cards = object.value(QStringLiteral("cards")).toInt();
    return record;
}
