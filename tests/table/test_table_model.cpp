#include "KnownFieldLists.h"
#include "TableStore.h"
#include "TableStoreModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

void DefineCards(TableStore &table)
{
    table.Close();
    QVERIFY(table.ClearFields());
    for (const TableField &field : CardTableFields())
        QVERIFY(table.AddField(field.name, field.size));
    QVERIFY(table.CreateDataSet());
}

const QStringList GridFields = {QStringLiteral("DataNO"), QStringLiteral("DataID"),
                                QStringLiteral("DataPIN"), QStringLiteral("Unknown")};

} // namespace

class TestTableModel : public QObject
{
    Q_OBJECT

private slots:
    void showsChosenColumnsOfTheRows()
    {
        TableStore table;
        DefineCards(table);
        TableStoreModel model(table);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(GridFields, {QStringLiteral("CardNo"), QStringLiteral("Card ID")});
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(
            table.AppendRow({QStringLiteral("0000001"), QStringLiteral("ID1"), QStringLiteral("01"),
                             QStringLiteral("0"), QStringLiteral("12XX")}));
        QVERIFY(table.AppendRow({QStringLiteral("0000002"), QStringLiteral("ID2")}));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("0000001"));
        QCOMPARE(model.data(model.index(0, 2)).toString(), QStringLiteral("12XX"));
        QCOMPARE(model.data(model.index(1, 1)).toString(), QStringLiteral("ID2"));
        QCOMPARE(model.data(model.index(1, 3)).toString(), QString());
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("CardNo"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Card ID"));
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("DataPIN"));
        QCOMPARE(model.headerData(1, Qt::Vertical).toInt(), 2);
        QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        table.First();
        QVERIFY(table.Edit());
        QVERIFY(table.SetFieldText(QStringLiteral("DataID"), QStringLiteral("NEW")));
        QVERIFY(table.Post());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 0);
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("NEW"));

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QVERIFY(table.Delete());
        QCOMPARE(removed.count(), 1);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("0000002"));
    }

    void followsTheCursor()
    {
        TableStore table;
        DefineCards(table);
        TableStoreModel model(table);
        model.setColumns(GridFields);
        for (int i = 0; i < 3; ++i)
            QVERIFY(table.AppendRow({QString::number(i)}));
        QCOMPARE(model.currentRow(), 2);
        QSignalSpy current(&model, &TableStoreModel::currentRowChanged);
        table.First();
        table.Next();
        QCOMPARE(current.count(), 2);
        QCOMPARE(current.last().at(0).toInt(), 1);
        QCOMPARE(model.currentRow(), 1);
        table.Close();
        QCOMPARE(current.last().at(0).toInt(), -1);
        QCOMPARE(model.rowCount(), 0);
    }

    void detachedModelStaysQuietUntilAttached()
    {
        TableStore table;
        DefineCards(table);
        TableStoreModel model(table);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setColumns(GridFields);
        QVERIFY(table.AppendRow({QStringLiteral("kept")}));

        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy current(&model, &TableStoreModel::currentRowChanged);
        model.detach();
        model.detach(); // nested bulk work
        QVERIFY(!model.isAttached());
        for (int i = 0; i < 500; ++i)
            QVERIFY(table.AppendRow({QString::number(i)}));
        table.First();
        QVERIFY(table.Delete());
        table.Close();
        QVERIFY(table.CreateDataSet());
        for (int i = 0; i < 10; ++i)
            QVERIFY(table.AppendRow({QString::number(i)}));
        table.First();
        QCOMPARE(model.rowCount(), 1); // what the views were last told
        model.attach();
        QVERIFY(!model.isAttached());
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(resets.count(), 0);
        QCOMPARE(current.count(), 0);
        model.attach();
        QVERIFY(model.isAttached());
        QCOMPARE(resets.count(), 1);
        QCOMPARE(current.count(), 1);
        QCOMPARE(current.at(0).at(0).toInt(), 0);
        QCOMPARE(model.rowCount(), 10);
        QCOMPARE(model.data(model.index(9, 0)).toString(), QStringLiteral("9"));
        model.attach(); // unbalanced: no effect
        QCOMPARE(resets.count(), 1);
    }

    void loadResetsTheModel()
    {
        TableStore source;
        DefineCards(source);
        QVERIFY(source.AppendRow({QStringLiteral("0000007"), QStringLiteral("X")}));
        TableStore table;
        TableStoreModel model(table);
        model.setColumns(GridFields);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        TableContent content = source.Content();
        QVERIFY(table.SetContent(content));
        QCOMPARE(resets.count(), 1);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("X"));
    }
};

QTEST_GUILESS_MAIN(TestTableModel)
#include "test_table_model.moc"
