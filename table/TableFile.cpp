#include "TableFile.h"

#include "TableStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace TableFile {

TableResult Load(TableStore &table, const QString &path,
                 const std::function<bool(const TableStore &)> &hasFields,
                 const QString &fieldsMissing)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return TableResult::Failure(
            QCoreApplication::translate("TableFile", "%1: no such file").arg(path));
    TableStore loaded;
    const TableResult result = loaded.LoadFromFile(path);
    if (!result)
        return result;
    if (!hasFields(loaded))
        return TableResult::Failure(QStringLiteral("%1: %2").arg(path, fieldsMissing));
    table.Close();
    table.SetContent(loaded.Content());
    return TableResult::Success();
}

TableResult Save(TableStore &table, const QString &path, TableStore::Empty empty)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return TableResult::Failure(
            QCoreApplication::translate("TableFile", "%1: cannot create the folder").arg(path));
    return table.SaveToFile(path, empty);
}

} // namespace TableFile
