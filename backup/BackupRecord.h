#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

// What a fleet backup keeps beside a controller's two files ("controller.json"): which
// controller they came from and when, so that a restore goes to that controller only.
struct FleetRecord
{
    static inline const QString FileName = QStringLiteral("controller.json");

    QString name;
    QString serialNumber;
    QString version;
    QString deviceId;
    QDateTime time;
    int parameters = 0;
    int cards = 0;

    // Written atomically; false with a message in error.
    bool save(const QString &folder, QString &error) const;
    // Nothing, with a message in error, when the file is missing or unreadable.
    static std::optional<FleetRecord> load(const QString &folder, QString &error);
};
