#pragma once

#include "TableResult.h"

#include <QString>

class TableStore;

// The card file: the card table saved as a data packet.
namespace CardFile {

inline const QString DefaultFileName = QStringLiteral("KT480NT-V5_CardData.xml");
inline const QString ReadSetting = QStringLiteral("CardDataRFileName");
inline const QString SaveSetting = QStringLiteral("CardDataSFileName");
inline const QString DialogFilter = QStringLiteral("xml files(*.xml)");

// The default file in the program's folder, or the documents folder when that is not writable.
QString DefaultPath();

// Loads a card file into the table. A file that cannot be read, or that holds no card
// fields, leaves the table as it was and gives a message naming the file.
TableResult Load(TableStore &table, const QString &path);
// Saves atomically: the old file stays until the new one is complete. A card table without
// rows gives a card file without rows.
TableResult Save(TableStore &table, const QString &path);

} // namespace CardFile
