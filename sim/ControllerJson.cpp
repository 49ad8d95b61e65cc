#include "ControllerJson.h"

#include "WholeFileCommit.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

QJsonObject TextMapToJson(const QMap<QByteArray, QByteArray> &map)
{
    QJsonObject object;
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        object.insert(QString::fromLatin1(it.key()), QString::fromLatin1(it.value()));
    return object;
}

std::optional<QMap<QByteArray, QByteArray>> TextMapFromJson(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    QMap<QByteArray, QByteArray> map;
    const QJsonObject object = value.toObject();
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (!it.value().isString())
            return std::nullopt;
        map.insert(it.key().toLatin1(), it.value().toString().toLatin1());
    }
    return map;
}

void SetError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

QJsonObject ControllerDataToJson(const ControllerData &d)
{
    QJsonObject cards;
    for (auto it = d.cards.cbegin(); it != d.cards.cend(); ++it)
        cards.insert(QString::number(it.key()), QString::fromLatin1(it.value()));
    QJsonArray events;
    for (const QByteArray &e : d.events)
        events.append(QString::fromLatin1(e));
    const QJsonObject sd{
        {"sectors", d.sd.sectors},
        {"total", d.sd.total},
        {"announcedTotal", d.sd.announcedTotal},
        {"countsPerSecond", d.sd.countsPerSecond},
        {"stallAt", d.sd.stallAt},
        {"running", d.sd.running},
        {"slot", d.sd.slot},
        {"startedAtMs", QString::number(d.sd.startedAtMs)},
    };
    return {
        {"deviceId", d.deviceId},
        {"serialNumber", QString::fromLatin1(d.serialNumber)},
        {"versionText", QString::fromLatin1(d.versionText)},
        {"parameters", TextMapToJson(d.parameters)},
        {"groups", TextMapToJson(d.groups)},
        {"cards", cards},
        {"events", events},
        {"clockOffsetMs", QString::number(d.clockOffsetMs)},
        {"sd", sd},
    };
}

std::optional<ControllerData> ControllerDataFromJson(const QJsonObject &o)
{
    ControllerData d;
    if (!o.value("deviceId").isDouble() || !o.value("serialNumber").isString() ||
        !o.value("versionText").isString())
        return std::nullopt;
    d.deviceId = o.value("deviceId").toInt();
    d.serialNumber = o.value("serialNumber").toString().toLatin1();
    d.versionText = o.value("versionText").toString().toLatin1();
    const auto parameters = TextMapFromJson(o.value("parameters"));
    const auto groups = TextMapFromJson(o.value("groups"));
    if (!parameters || !groups || !o.value("cards").isObject() || !o.value("events").isArray())
        return std::nullopt;
    d.parameters = *parameters;
    d.groups = *groups;
    const QJsonObject cards = o.value("cards").toObject();
    for (auto it = cards.constBegin(); it != cards.constEnd(); ++it) {
        bool ok = false;
        const int number = it.key().toInt(&ok);
        if (!ok || !it.value().isString())
            return std::nullopt;
        d.cards.insert(number, it.value().toString().toLatin1());
    }
    for (const QJsonValue &e : o.value("events").toArray()) {
        if (!e.isString())
            return std::nullopt;
        d.events << e.toString().toLatin1();
    }
    d.clockOffsetMs = o.value("clockOffsetMs").toString().toLongLong();
    const QJsonObject sd = o.value("sd").toObject();
    d.sd.sectors = sd.value("sectors").toInt(d.sd.sectors);
    d.sd.total = sd.value("total").toInt(d.sd.total);
    d.sd.announcedTotal = sd.value("announcedTotal").toInt(d.sd.announcedTotal);
    d.sd.countsPerSecond = sd.value("countsPerSecond").toInt(d.sd.countsPerSecond);
    d.sd.stallAt = sd.value("stallAt").toInt(d.sd.stallAt);
    d.sd.running = sd.value("running").toInt(0);
    d.sd.slot = sd.value("slot").toInt(0);
    d.sd.startedAtMs = sd.value("startedAtMs").toString().toLongLong();
    return d;
}

bool SaveControllersFile(const QString &path, const QList<ControllerData> &controllers,
                         QString *error)
{
    QJsonArray list;
    for (const ControllerData &d : controllers)
        list.append(ControllerDataToJson(d));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        SetError(error, file.errorString());
        return false;
    }
    file.write(QJsonDocument(QJsonObject{{"controllers", list}}).toJson());
    if (!CommitWhole(file)) {
        SetError(error, file.errorString());
        return false;
    }
    return true;
}

std::optional<QList<ControllerData>> LoadControllersFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SetError(error, file.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject() || !doc.object().value("controllers").isArray()) {
        SetError(error, parseError.error != QJsonParseError::NoError
                            ? parseError.errorString()
                            : QStringLiteral("no \"controllers\" list"));
        return std::nullopt;
    }
    QList<ControllerData> controllers;
    for (const QJsonValue &v : doc.object().value("controllers").toArray()) {
        const auto d = ControllerDataFromJson(v.toObject());
        if (!d) {
            SetError(error, QStringLiteral("a controller entry is malformed"));
            return std::nullopt;
        }
        controllers << *d;
    }
    return controllers;
}
