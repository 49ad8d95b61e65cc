#include "BackupRecord.h"

#include "TableFileLimit.h"
#include "TableStore.h"
#include "WholeFileCommit.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

const QString CardsFromKey = QStringLiteral("cardsFrom");
const QString CardsToKey = QStringLiteral("cardsTo");
const QString ParameterDigestKey = QStringLiteral("parameterFileSha256");
const QString CardDigestKey = QStringLiteral("cardFileSha256");

// Empty when the file cannot be read.
QString digestOf(const QString &path)
{
    QByteArray bytes;
    if (!ReadTableFile(path, bytes))
        return {};
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

int rowsIn(const QString &path)
{
    TableStore table;
    return table.LoadFromFile(path) ? table.RecordCount() : -1;
}

} // namespace

BackupRecord BackupRecord::Describe(const QString &name, const QString &serialNumber,
                                    const QString &version, const QString &deviceId,
                                    const CardRange &cardsRead, const QString &parameterPath,
                                    const QString &cardPath)
{
    BackupRecord record;
    record.name = name;
    record.serialNumber = serialNumber;
    record.version = version;
    record.deviceId = deviceId;
    record.time = QDateTime::currentDateTime();
    record.parameters = rowsIn(parameterPath);
    record.cards = rowsIn(cardPath);
    record.cardRange = cardsRead;
    record.cardRangeRecorded = true;
    record.parameterDigest = digestOf(parameterPath);
    record.cardDigest = digestOf(cardPath);
    return record;
}

QString BackupRecord::fileMismatch(const QString &parameterPath, const QString &cardPath) const
{
    QStringList differing;
    if (!parameterDigest.isEmpty() && digestOf(parameterPath) != parameterDigest)
        differing << parameterPath;
    if (!cardDigest.isEmpty() && digestOf(cardPath) != cardDigest)
        differing << cardPath;
    if (differing.isEmpty())
        return {};
    return QStringLiteral(
               "%1 is not the file that %2 describes (changed, or put there by another backup)")
        .arg(differing.join(QStringLiteral(", ")), FileName);
}

bool BackupRecord::save(const QString &folder, QString &error) const
{
    QJsonObject object{{QStringLiteral("name"), name},
                       {QStringLiteral("serialNumber"), serialNumber},
                       {QStringLiteral("version"), version},
                       {QStringLiteral("deviceId"), deviceId},
                       {QStringLiteral("time"), time.toString(Qt::ISODate)},
                       {QStringLiteral("parameters"), parameters},
                       {QStringLiteral("cards"), cards},
                       {ParameterDigestKey, parameterDigest},
                       {CardDigestKey, cardDigest}};
    if (cardRangeRecorded) {
        object.insert(CardsFromKey, cardRange.first());
        object.insert(CardsToKey, cardRange.last());
    }
    QSaveFile file(QDir(folder).filePath(FileName));
    if (file.open(QIODevice::WriteOnly) &&
        file.write(QJsonDocument(object).toJson(QJsonDocument::Indented)) >= 0 && CommitWhole(file))
        return true;
    error = QStringLiteral("%1: %2").arg(file.fileName(), WriteFailureText(file));
    return false;
}

bool BackupRecord::existsIn(const QString &folder)
{
    return QFileInfo::exists(QDir(folder).filePath(FileName));
}

std::optional<BackupRecord> BackupRecord::load(const QString &folder, QString &error)
{
    const QString path = QDir(folder).filePath(FileName);
    QByteArray bytes;
    // The size and kind checks of the table files: a link to a device is never read.
    if (const TableResult read = ReadTableFile(path, bytes); !read) {
        error = read.error();
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    const QJsonObject object = document.object();
    const QString serialNumber = object.value(QStringLiteral("serialNumber")).toString();
    if (parseError.error != QJsonParseError::NoError || serialNumber.isEmpty()) {
        error = QStringLiteral("%1: not a controller record (no serial number)").arg(path);
        return std::nullopt;
    }
    BackupRecord record;
    record.name = object.value(QStringLiteral("name")).toString();
    record.serialNumber = serialNumber;
    record.version = object.value(QStringLiteral("version")).toString();
    record.deviceId = object.value(QStringLiteral("deviceId")).toString();
    record.time =
        QDateTime::fromString(object.value(QStringLiteral("time")).toString(), Qt::ISODate);
    record.parameters = object.value(QStringLiteral("parameters")).toInt();
    record.cards = object.value(QStringLiteral("cards")).toInt();
    record.parameterDigest = object.value(ParameterDigestKey).toString();
    record.cardDigest = object.value(CardDigestKey).toString();
    const QJsonValue from = object.value(CardsFromKey);
    const QJsonValue to = object.value(CardsToKey);
    record.cardRangeRecorded = from.isDouble() && to.isDouble();
    if (record.cardRangeRecorded)
        record.cardRange = CardRange(from.toInt(), to.toInt());
    return record;
}
