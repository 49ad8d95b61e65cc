#pragma once

#include "TableField.h"

#include <QList>
#include <QStringList>

// Field definitions and rows of a table; every row holds one text per field, in field order.
// Plain values so a file can be read completely before it replaces a live table.
struct TableContent
{
    QList<TableField> fields;
    QList<QStringList> rows;

    int FieldIndex(QStringView name) const;
};

// Whether a name can stand as a field name in a data packet, where it is also an XML
// attribute name of every row: a letter or underscore, then letters, digits, "_", "-", ".";
// "RowState" is taken by the packet itself.
bool IsStorableFieldName(QStringView name);

// Number of characters, a surrogate pair counting as one.
int CharacterCount(QStringView text);

// The text cut to the field's maximum length in characters (only for text fields with a
// width); a surrogate pair counts as one character and is never split.
QString CutToFieldSize(const QString &text, const TableField &field);
