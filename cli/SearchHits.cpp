#include "SearchHits.h"

#include "TableCsv.h"
#include "TableStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

bool IsSerial(const ControllerHit &hit)
{
    return hit.transport == ControllerHit::Transport::Serial;
}

QString TransportName(const ControllerHit &hit)
{
    return IsSerial(hit) ? QStringLiteral("serial") : QStringLiteral("tcp");
}

QJsonObject HitToJson(const ControllerHit &hit)
{
    QJsonObject o{{QStringLiteral("transport"), TransportName(hit)},
                  {QStringLiteral("portNumber"), hit.portNumber},
                  {QStringLiteral("deviceId"), hit.deviceId},
                  {QStringLiteral("serialNumber"), hit.serialNumber},
                  {QStringLiteral("version"), hit.version}};
    if (IsSerial(hit)) {
        o.insert(QStringLiteral("port"), hit.portName);
        o.insert(QStringLiteral("lineSettings"), hit.lineSettings);
    } else {
        o.insert(QStringLiteral("address"), hit.address);
    }
    return o;
}

} // namespace

QByteArray HitsToJson(const QList<ControllerHit> &hits, const QList<ControllerHit> &outsideRange)
{
    QJsonArray array;
    for (const ControllerHit &hit : hits)
        array.append(HitToJson(hit));
    for (const ControllerHit &hit : outsideRange) {
        QJsonObject o = HitToJson(hit);
        o.insert(QStringLiteral("outsideRange"), true);
        array.append(o);
    }
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

QByteArray HitsToCsv(const QList<ControllerHit> &hits)
{
    TableStore table;
    for (const char *name : {"transport", "port", "address", "portNumber", "lineSettings",
                             "deviceId", "serialNumber", "version"})
        table.AddField(QString::fromLatin1(name), DefaultCsvFieldSize);
    table.CreateDataSet();
    for (const ControllerHit &hit : hits)
        table.AppendRow({TransportName(hit), hit.portName, hit.address,
                         QString::number(hit.portNumber), hit.lineSettings, hit.deviceId,
                         hit.serialNumber, hit.version});
    return TableToCsv(table);
}

QString HitsToText(const QList<ControllerHit> &hits)
{
    QString text;
    for (const ControllerHit &hit : hits) {
        const QString where =
            IsSerial(hit) ? hit.portName + QLatin1Char(' ') + hit.lineSettings
                          : hit.address + QLatin1Char(':') + QString::number(hit.portNumber);
        text += QStringLiteral("%1 %2  Device ID %3  S/N %4  VER %5\n")
                    .arg(TransportName(hit), where, hit.deviceId, hit.serialNumber, hit.version);
    }
    return text;
}
