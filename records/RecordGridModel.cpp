#include "RecordGridModel.h"

#include <QColor>

namespace {

const QColor MoneyGreen(192, 220, 192);
const QColor SkyBlue(166, 202, 240);

} // namespace

QVariant RecordGridModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::BackgroundRole && index.isValid()) {
        const QString field = columnFields().value(index.column());
        if (field == QLatin1String("DataTime") || field == QLatin1String("iChannel"))
            return SkyBlue;
        if (field == QLatin1String("CardNO") || field == QLatin1String("SStatus") ||
            field == QLatin1String("APB"))
            return MoneyGreen;
        return {};
    }
    // A text cut by its column is read whole in the tooltip.
    if (role == Qt::ToolTipRole)
        return TableStoreModel::data(index, Qt::DisplayRole);
    return TableStoreModel::data(index, role);
}
