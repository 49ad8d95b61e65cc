#pragma once

#include "TableField.h"

#include <QList>

// The field lists of the program's three table files, in their order and sizes.
QList<TableField> ParameterFileFields();
QList<TableField> CardTableFields();
QList<TableField> RecordTableFields();

// The known list whose names are exactly `names` in that order; empty when none is.
QList<TableField> KnownFieldListNamed(const QStringList &names);
