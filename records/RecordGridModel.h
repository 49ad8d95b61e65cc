#pragma once

#include "TableStoreModel.h"

// The record grid's view of the table: the six shown fields, each column in its colour.
class RecordGridModel : public TableStoreModel
{
    Q_OBJECT

public:
    using TableStoreModel::TableStoreModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
