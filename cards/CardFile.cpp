#include "CardFile.h"

#include "CardTable.h"
#include "DefaultFolder.h"
#include "TableFile.h"

#include <QCoreApplication>

namespace CardFile {

QString DefaultPath()
{
    return DefaultFilePath(DefaultFileName);
}

TableResult Load(TableStore &table, const QString &path)
{
    return TableFile::Load(table, path, CardTable::HasCardFields,
                           QCoreApplication::translate(
                               "CardFile", "not a card file (the card fields DataNO, DataID, "
                                           "DataApp, DataType, DataPIN, DataAPB are missing)"));
}

TableResult Save(TableStore &table, const QString &path)
{
    return TableFile::Save(table, path);
}

} // namespace CardFile
