#pragma once

#include "CardRange.h"

#include <QDateTime>
#include <QString>
#include <optional>

// What a backup keeps beside its two files ("controller.json"), for one controller's folder
// of a fleet and for a single backup alike: which controller the files came from, when, the
// card numbers the card file covers, and a digest of each file, so that a restore goes to
// that controller only, knows which of its cards the backup never saw, and never takes a
// pair of files the record does not describe.
struct BackupRecord
{
    static inline const QString FileName = QStringLiteral("controller.json");

    QString name;
    QString serialNumber;
    QString version;
    QString deviceId;
    QDateTime time;
    int parameters = 0;
    int cards = 0;
    // The card numbers read. An older record has none: the default range stands in for it.
    CardRange cardRange;
    bool cardRangeRecorded = false;
    // SHA-256 of each file, in hex; empty in an older record.
    QString parameterDigest;
    QString cardDigest;

    // The record of a complete backup in these two files, made now: their rows and digests.
    static BackupRecord Describe(const QString &name, const QString &serialNumber,
                                 const QString &version, const QString &deviceId,
                                 const CardRange &cardsRead, const QString &parameterPath,
                                 const QString &cardPath);
    // Empty when the files are the ones the record describes (or it has no digests); else
    // which file differs.
    QString fileMismatch(const QString &parameterPath, const QString &cardPath) const;

    // Written atomically; false with a message in error.
    bool save(const QString &folder, QString &error) const;
    // Nothing, with a message in error, when the file is missing or unreadable.
    static std::optional<BackupRecord> load(const QString &folder, QString &error);
    static bool existsIn(const QString &folder);
};
