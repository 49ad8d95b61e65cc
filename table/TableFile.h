#pragma once

#include "TableResult.h"
#include "TableStore.h"

#include <QString>
#include <functional>

// The file of one kind of table (cards, records): a load replaces the table only with a file
// that reads and holds the fields of that kind; a save is atomic and makes the folder first.
namespace TableFile {

// `fieldsMissing` is the message for a file without the kind's fields, after the path.
TableResult Load(TableStore &table, const QString &path,
                 const std::function<bool(const TableStore &)> &hasFields,
                 const QString &fieldsMissing);
TableResult Save(TableStore &table, const QString &path,
                 TableStore::Empty empty = TableStore::Empty::Refused);

} // namespace TableFile
