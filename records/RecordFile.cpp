#include "RecordFile.h"

#include "DefaultFolder.h"
#include "RecordTable.h"
#include "RecordsLog.h"
#include "TableFile.h"

#include <QCoreApplication>

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
    return Logged(TableFile::Load(
        table, path, RecordTable::HasRecordFields,
        QCoreApplication::translate("RecordFile", "not a record file (the record fields IONO, "
                                                  "CardNO, DataTime, iStatus, SStatus, "
                                                  "iChannel, APB are missing)")));
}

TableResult Save(TableStore &table, const QString &path)
{
    return Logged(TableFile::Save(table, path));
}

} // namespace RecordFile
