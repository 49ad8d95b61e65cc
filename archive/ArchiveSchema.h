#pragma once

#include "ArchiveAddress.h"

#include <QStringList>

// The archive's tables, by version. Version n is reached from n - 1 by the statements of
// step n; an archive is created by running every step from 1, and an older archive is
// brought up to date by the steps it lacks. The version stands in VersionTable.
namespace ArchiveSchema {

inline const QString VersionTable = QStringLiteral("kt480_archive_schema");
constexpr int Latest = 1;

// The statements that take an archive from version - 1 to version.
QStringList Step(int version, ArchiveAddress::Kind kind);

} // namespace ArchiveSchema
