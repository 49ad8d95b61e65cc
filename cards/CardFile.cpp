#include "CardFile.h"

#include "CardTable.h"
#include "DefaultFolder.h"
#include "TableStore.h"

#include <QDir>
#include <QFileInfo>

namespace CardFile {

QString DefaultPath()
{
    return DefaultFilePath(DefaultFileName);
}

TableResult Load(TableStore &table, const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return TableResult::Failure(QStringLiteral("%1: no such file").arg(path));
    TableStore loaded;
    const TableResult result = loaded.LoadFromFile(path);
    if (!result)
        return result;
    if (!CardTable::HasCardFields(loaded))
        return TableResult::Failure(
            QStringLiteral("%1: not a card file (the card fields DataNO, DataID, DataApp, "
                           "DataType, DataPIN, DataAPB are missing)")
                .arg(path));
    table.Close();
    table.SetContent(loaded.Content());
    return TableResult::Success();
}

TableResult Save(TableStore &table, const QString &path)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return TableResult::Failure(QStringLiteral("%1: cannot create the folder").arg(path));
    return table.SaveToFile(path);
}

} // namespace CardFile
