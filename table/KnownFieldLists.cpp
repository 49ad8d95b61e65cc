#include "KnownFieldLists.h"

#include <QStringList>

QList<TableField> ParameterFileFields()
{
    // "DataVaue" is the name the controller's existing files use.
    return {{QStringLiteral("DataType"), 10}, {QStringLiteral("DataVaue"), 100}};
}

QList<TableField> CardTableFields()
{
    return {{QStringLiteral("DataNO"), 10}, {QStringLiteral("DataID"), 20},
            {QStringLiteral("DataApp"), 5}, {QStringLiteral("DataType"), 5},
            {QStringLiteral("DataPIN"), 5}, {QStringLiteral("DataAPB"), 5}};
}

QList<TableField> RecordTableFields()
{
    return {{QStringLiteral("IONO"), 10},     {QStringLiteral("CardNO"), 10},
            {QStringLiteral("DataTime"), 20}, {QStringLiteral("iStatus"), 10},
            {QStringLiteral("SStatus"), 30},  {QStringLiteral("iChannel"), 10},
            {QStringLiteral("APB"), 10}};
}

QList<TableField> KnownFieldListNamed(const QStringList &names)
{
    for (const QList<TableField> &list :
         {ParameterFileFields(), CardTableFields(), RecordTableFields()}) {
        QStringList listNames;
        for (const TableField &field : list)
            listNames.append(field.name);
        if (listNames == names)
            return list;
    }
    return {};
}
