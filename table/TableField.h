#pragma once

#include <QString>

inline const QString StringFieldType = QStringLiteral("string");

// One field definition. The program defines only text fields ("string") with a maximum
// length; other types come from loaded files and are kept so they are saved back unchanged.
struct TableField
{
    QString name;
    // Maximum length in characters; 0 when the file gave no width (types other than text).
    int size = 0;
    QString type = StringFieldType;

    bool operator==(const TableField &) const = default;
};
