#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <QStringList>
#include <functional>

class TableStore;

// Read-only grid view of a TableStore: the chosen fields as columns, the table's rows as
// rows, and the table's cursor as the current row. Every cell's text is also its tooltip, so a
// text cut by its column is read whole; a field can have a background colour of its own. detach()
// silences the model during bulk work (nested calls count); the last attach() resets it once. The
// table must outlive it.
class TableStoreModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit TableStoreModel(TableStore &table, QObject *parent = nullptr);

    // Columns by field name with their header titles (a missing title shows the name; an
    // unknown field shows empty cells).
    void setColumns(const QStringList &fieldNames, const QStringList &titles = {});
    QStringList columnFields() const { return fieldNames_; }
    void setColumnBackground(const QString &fieldName, const QColor &colour);
    // How a field's stored text is shown (and hinted); the table keeps the stored text.
    using ShownText = std::function<QString(const QString &stored)>;
    void setColumnText(const QString &fieldName, ShownText shown);

    void detach();
    void attach();
    bool isAttached() const { return detachCount_ == 0; }

    // 0-based row of the table's cursor, -1 when there is none.
    int currentRow() const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    void currentRowChanged(int row);

private:
    void ResolveColumns();
    void OnAboutToBeReset();
    void OnReset();

    TableStore &table_;
    QStringList fieldNames_;
    QStringList titles_;
    QList<int> fieldIndexes_;
    QHash<QString, QColor> backgrounds_;
    QHash<QString, ShownText> shownTexts_;
    int detachCount_ = 0;
    // The row count the attached views know; held while detached.
    int shownRowCount_ = 0;
};
