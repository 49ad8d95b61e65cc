#include "CardFile.h"

#include "CardTable.h"
#include "DefaultFolder.h"
#include "TableFile.h"
#include "TableStore.h"

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
    // A range without cards: the file says so, instead of an earlier list staying in its place.
    return TableFile::Save(table, path,
                           CardTable::HasCardFields(table) ? TableStore::Empty::Saved
                                                           : TableStore::Empty::Refused);
}

} // namespace CardFile
