#pragma once

#include "TableStoreModel.h"

// The record grid's view of the table: each column in its colour, every cell's text also as
// its tooltip.
class RecordGridModel : public TableStoreModel
{
    Q_OBJECT

public:
    using TableStoreModel::TableStoreModel;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};
