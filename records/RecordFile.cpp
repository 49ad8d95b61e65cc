#include "RecordFile.h"

#include "DefaultFolder.h"

#include "RecordTable.h"
#include "RecordsLog.h"
#include "TableStore.h"

#include <QDir>
#include <QFileInfo>

namespace RecordFile {

namespace {

TableResult Logged(const TableResult &result)
{
    if (!result)
        qCWarning(lcRecords).noquote() << result.error();
    return result;
}

} // namespace

QString DefaultPath()
{
    return DefaultFilePath(DefaultFileName);
}

TableResult Load(TableStore &table, const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return Logged(TableResult::Failure(QStringLiteral("%1: no such file").arg(path)));
    TableStore loaded;
    const TableResult result = loaded.LoadFromFile(path);
    if (!result)
        return Logged(result);
    if (!RecordTable::HasRecordFields(loaded))
        return Logged(TableResult::Failure(
            QStringLiteral("%1: not a record file (the record fields IONO, CardNO, DataTime, "
                           "iStatus, SStatus, iChannel, APB are missing)")
                .arg(path)));
    table.Close();
    table.SetContent(loaded.Content());
    return TableResult::Success();
}

TableResult Save(TableStore &table, const QString &path)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return Logged(
            TableResult::Failure(QStringLiteral("%1: cannot create the folder").arg(path)));
    return Logged(table.SaveToFile(path));
}

} // namespace RecordFile
