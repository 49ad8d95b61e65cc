#include "TableStoreModel.h"

#include "TableStore.h"

TableStoreModel::TableStoreModel(TableStore &table, QObject *parent)
    : QAbstractTableModel(parent), table_(table), shownRowCount_(table.RecordCount())
{
    connect(&table_, &TableStore::tableAboutToBeReset, this, &TableStoreModel::OnAboutToBeReset);
    connect(&table_, &TableStore::tableReset, this, &TableStoreModel::OnReset);
    connect(&table_, &TableStore::rowAboutToBeInserted, this, [this](int row) {
        if (isAttached())
            beginInsertRows(QModelIndex(), row, row);
    });
    connect(&table_, &TableStore::rowInserted, this, [this] {
        if (!isAttached())
            return;
        shownRowCount_ = table_.RecordCount();
        endInsertRows();
    });
    connect(&table_, &TableStore::rowAboutToBeRemoved, this, [this](int row) {
        if (isAttached())
            beginRemoveRows(QModelIndex(), row, row);
    });
    connect(&table_, &TableStore::rowRemoved, this, [this] {
        if (!isAttached())
            return;
        shownRowCount_ = table_.RecordCount();
        endRemoveRows();
    });
    connect(&table_, &TableStore::rowChanged, this, [this](int row) {
        if (isAttached() && !fieldNames_.isEmpty())
            emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
    connect(&table_, &TableStore::currentRowChanged, this, [this](int row) {
        if (isAttached())
            emit currentRowChanged(row);
    });
}

void TableStoreModel::setColumns(const QStringList &fieldNames, const QStringList &titles)
{
    beginResetModel();
    fieldNames_ = fieldNames;
    titles_ = titles;
    ResolveColumns();
    endResetModel();
}

void TableStoreModel::detach()
{
    ++detachCount_;
}

void TableStoreModel::attach()
{
    if (detachCount_ == 0 || --detachCount_ > 0)
        return;
    beginResetModel();
    ResolveColumns();
    shownRowCount_ = table_.RecordCount();
    endResetModel();
    emit currentRowChanged(currentRow());
}

int TableStoreModel::currentRow() const
{
    return table_.RecNo() - 1;
}

int TableStoreModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shownRowCount_;
}

int TableStoreModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(fieldNames_.size());
}

void TableStoreModel::setColumnBackground(const QString &fieldName, const QColor &colour)
{
    backgrounds_.insert(fieldName, colour);
}

void TableStoreModel::setColumnText(const QString &fieldName, ShownText shown)
{
    shownTexts_.insert(fieldName, std::move(shown));
}

QVariant TableStoreModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= fieldIndexes_.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        const QString stored = table_.Value(index.row(), fieldIndexes_.at(index.column()));
        const auto shown = shownTexts_.constFind(fieldNames_.at(index.column()));
        return shown == shownTexts_.cend() ? stored : (*shown)(stored);
    }
    case Qt::BackgroundRole: {
        const auto colour = backgrounds_.constFind(fieldNames_.at(index.column()));
        return colour == backgrounds_.cend() ? QVariant() : QVariant(*colour);
    }
    default:
        return QVariant();
    }
}

QVariant TableStoreModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section >= fieldNames_.size())
        return QVariant();
    return section < titles_.size() ? titles_.at(section) : fieldNames_.at(section);
}

Qt::ItemFlags TableStoreModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TableStoreModel::ResolveColumns()
{
    fieldIndexes_.clear();
    for (const QString &name : fieldNames_)
        fieldIndexes_.append(table_.FieldIndex(name));
}

void TableStoreModel::OnAboutToBeReset()
{
    if (isAttached())
        beginResetModel();
}

void TableStoreModel::OnReset()
{
    if (!isAttached())
        return;
    ResolveColumns();
    shownRowCount_ = table_.RecordCount();
    endResetModel();
}
