#pragma once

#include "TableResult.h"

#include <QString>

class TableStore;

// The record file: the record table saved as a data packet.
namespace RecordFile {

inline const QString DefaultFileName = QStringLiteral("KTIOData.xml");
inline const QString ReadSetting = QStringLiteral("IODataRFileName");
inline const QString SaveSetting = QStringLiteral("IODataSFileName");
inline const QString DialogFilter = QStringLiteral("xml files(*.xml)");
// Asked before an existing file is replaced; always in English.
inline const QString OverwriteQuestion = QStringLiteral("The File is Exist!! Cover it??");

// The default file in the program's folder, or the documents folder when that is not writable.
QString DefaultPath();

// Loads a record file into the table. A file that cannot be read, or that lacks the record
// fields, leaves the table as it was and gives a message naming the file.
TableResult Load(TableStore &table, const QString &path);
// Saves atomically: the old file stays until the new one is complete.
TableResult Save(TableStore &table, const QString &path);

} // namespace RecordFile
