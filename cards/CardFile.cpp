#include "CardFile.h"

#include "CardTable.h"
#include "DataPacketWriter.h"
#include "DefaultFolder.h"
#include "TableFile.h"
#include "TableStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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
    if (!table.IsEmpty() || !table.Active() || !CardTable::HasCardFields(table))
        return TableFile::Save(table, path);
    // A range without cards: the file says so, instead of an earlier list staying in its place.
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return TableResult::Failure(
            QCoreApplication::translate("TableFile", "%1: cannot create the folder").arg(path));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !WriteDataPacket(table.Content(), file) ||
        !file.commit())
        return TableResult::Failure(
            QCoreApplication::translate("CardFile", "%1: cannot write the file: %2")
                .arg(path, file.errorString()));
    return TableResult::Success();
}

} // namespace CardFile
