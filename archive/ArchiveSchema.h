#pragma once

#include "ArchiveAddress.h"

#include <QStringList>

// The archive's tables, by version. Version n is reached from n - 1 by the statements of
// step n; an archive is created by running every step from 1, and an older archive is
// brought up to date by the steps it lacks. The version stands in VersionTable.
namespace ArchiveSchema {

inline const QString VersionTable = QStringLiteral("kt480_archive_schema");
constexpr int Latest = 3;
// The oldest version whose tables a search can read as they are (where it may not upgrade).
constexpr int SearchableFrom = 2;
// The columns of an event as stored, and those that make it one event (stored once).
inline const QString EventColumns =
    QStringLiteral("controller, site_name, event_key, event_time, read_time, card, card_number, "
                   "code, event_text, channel, apb, record_number, record_pointer, reply");
constexpr int EventColumnCount = 14;
inline const QString OnceColumns = QStringLiteral("controller, event_time, event_key");
// The month of a time ("2008/09" of "2008/09/22 14:05:09") in SQL, as the index by card and
// event_months hold it; a search by card names it in the same words, so that the index serves.
constexpr int MonthCharacters = 7;
inline QString MonthOf(const QString &time)
{
    return QStringLiteral("substr(%1, 1, %2)").arg(time).arg(MonthCharacters);
}

// The statements that take an archive from version - 1 to version.
QStringList Step(int version, ArchiveAddress::Kind kind);

} // namespace ArchiveSchema
