#include "KnownFieldLists.h"
#include "TableStore.h"

#include <QSignalSpy>
#include <QTemporaryDir>
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

void AppendCard(TableStore &table, const QString &number)
{
    QVERIFY(table.Append());
    QVERIFY(table.SetFieldText(QStringLiteral("DataNO"), number));
    QVERIFY(table.Post());
}

QStringList WalkNumbers(TableStore &table)
{
    QStringList numbers;
    for (table.First(); !table.Eof(); table.Next())
        numbers << table.FieldText(QStringLiteral("DataNO"));
    return numbers;
}

} // namespace

class TestTableStore : public QObject
{
    Q_OBJECT

private slots:
    void definitionsOnlyWhileInactive()
    {
        TableStore table;
        QVERIFY(!table.Active());
        QVERIFY(!table.CreateDataSet()); // no fields yet
        QVERIFY(table.AddField(QStringLiteral("DataType"), 10));
        QVERIFY(!table.AddField(QStringLiteral("DataType"), 5));
        QVERIFY(!table.AddField(QStringLiteral("Card No"), 5));
        QVERIFY(!table.AddField(QStringLiteral("RowState"), 5));
        QVERIFY(!table.AddField(QStringLiteral("DataVaue"), 0));
        QVERIFY(table.AddField(QStringLiteral("DataVaue"), 100));
        QVERIFY(table.CreateDataSet());
        QVERIFY(table.Active());
        QVERIFY(!table.AddField(QStringLiteral("Extra"), 5));
        QVERIFY(!table.ClearFields());
        QCOMPARE(table.Fields(), ParameterFileFields());
        QCOMPARE(table.FieldIndex(QStringLiteral("DataVaue")), 1);
        QCOMPARE(table.FieldIndex(QStringLiteral("Missing")), -1);
    }

    void inactiveAndEmptyTablesRefuseWork()
    {
        TableStore table;
        QVERIFY(!table.Append());
        QVERIFY(!table.Edit());
        QVERIFY(!table.Delete());
        QVERIFY(!table.AppendRow({QStringLiteral("x")}));
        QVERIFY(table.Eof() && table.Bof());
        DefineCards(table);
        QVERIFY(table.IsEmpty());
        QCOMPARE(table.RecordCount(), 0);
        QCOMPARE(table.RecNo(), 0);
        QVERIFY(!table.Edit());
        QVERIFY(!table.Delete());
        table.First();
        QVERIFY(table.Eof() && table.Bof());
        QVERIFY(!table.SetFieldText(QStringLiteral("DataNO"), QStringLiteral("1")));
        QCOMPARE(table.FieldText(QStringLiteral("DataNO")), QString());
    }

    void appendEditPostAndCut()
    {
        TableStore table;
        DefineCards(table);
        QVERIFY(table.Append());
        QCOMPARE(table.state(), TableStore::State::Insert);
        QVERIFY(table.SetFieldText(QStringLiteral("DataNO"), QStringLiteral("0000012")));
        QVERIFY(table.SetFieldText(QStringLiteral("DataPIN"), QStringLiteral("123456")));
        QVERIFY(!table.SetFieldText(QStringLiteral("Nope"), QStringLiteral("1")));
        QCOMPARE(table.FieldText(QStringLiteral("DataPIN")), QStringLiteral("123456"));
        QCOMPARE(table.RecordCount(), 0); // not part of the table before Post
        QVERIFY(table.Post());
        QCOMPARE(table.state(), TableStore::State::Browse);
        QCOMPARE(table.RecordCount(), 1);
        QCOMPARE(table.RecNo(), 1);
        QCOMPARE(table.FieldText(QStringLiteral("DataPIN")), QStringLiteral("12345"));
        QVERIFY(!table.Post());

        QVERIFY(table.Edit());
        QVERIFY(table.SetFieldText(QStringLiteral("DataID"), QStringLiteral("00000000ABCDEF01")));
        table.Cancel();
        QCOMPARE(table.FieldText(QStringLiteral("DataID")), QString());
        QVERIFY(table.Edit());
        // A CJK character outside the BMP counts as one character and is never split.
        QVERIFY(table.SetFieldText(QStringLiteral("DataApp"), QStringLiteral("ab\U00020000cdef")));
        QVERIFY(table.Post());
        QCOMPARE(table.FieldText(QStringLiteral("DataApp")), QStringLiteral("ab\U00020000cd"));
    }

    void pendingEditsArePostedByMovesAndAppend()
    {
        TableStore table;
        DefineCards(table);
        QVERIFY(table.Append());
        QVERIFY(table.SetFieldText(QStringLiteral("DataNO"), QStringLiteral("1")));
        QVERIFY(table.Append()); // posts the first row
        QVERIFY(table.SetFieldText(QStringLiteral("DataNO"), QStringLiteral("2")));
        table.First(); // posts the second
        QCOMPARE(table.RecordCount(), 2);
        QVERIFY(table.Edit());
        QVERIFY(table.SetFieldText(QStringLiteral("DataNO"), QStringLiteral("1b")));
        table.Next();
        QCOMPARE(WalkNumbers(table), (QStringList{"1b", "2"}));
        QVERIFY(table.Append());
        QVERIFY(table.Delete()); // deleting an open insert only drops it
        QCOMPARE(table.RecordCount(), 2);
    }

    void navigation()
    {
        TableStore table;
        DefineCards(table);
        for (const char *n : {"1", "2", "3", "4"})
            AppendCard(table, QString::fromLatin1(n));
        QCOMPARE(WalkNumbers(table), (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(table.RecNo(), 4);
        QVERIFY(table.Eof());

        table.First();
        QVERIFY(table.Bof() && !table.Eof());
        table.Prior(); // at the start: stays, Bof
        QVERIFY(table.Bof());
        QCOMPARE(table.RecNo(), 1);
        table.Next();
        QVERIFY(!table.Bof());
        QCOMPARE(table.FieldText(QStringLiteral("DataNO")), QStringLiteral("2"));
        table.Last();
        QVERIFY(table.Eof());
        QCOMPARE(table.RecNo(), 4);
        table.Prior();
        QVERIFY(!table.Eof());
        QCOMPARE(table.RecNo(), 3);
        QVERIFY(table.SetRecNo(2));
        QVERIFY(!table.SetRecNo(5));
        QVERIFY(!table.SetRecNo(0));
        QCOMPARE(table.FieldText(QStringLiteral("DataNO")), QStringLiteral("2"));
    }

    void deleteMovesToFollowingRow()
    {
        TableStore table;
        DefineCards(table);
        for (const char *n : {"1", "2", "3", "4", "5"})
            AppendCard(table, QString::fromLatin1(n));
        QVERIFY(table.SetRecNo(2));
        QVERIFY(table.Delete());
        QCOMPARE(table.FieldText(QStringLiteral("DataNO")), QStringLiteral("3"));
        QVERIFY(!table.Eof());
        table.Last();
        QVERIFY(table.Delete());
        QVERIFY(table.Eof()); // the last row went: the cursor is at the new end
        QCOMPARE(table.FieldText(QStringLiteral("DataNO")), QStringLiteral("4"));

        // The usual walk that deletes some rows visits every remaining row once.
        table.First();
        while (!table.Eof()) {
            if (table.FieldText(QStringLiteral("DataNO")) == QStringLiteral("3"))
                QVERIFY(table.Delete());
            else
                table.Next();
        }
        QCOMPARE(WalkNumbers(table), (QStringList{"1", "4"}));
        table.First();
        while (!table.IsEmpty())
            QVERIFY(table.Delete());
        QVERIFY(table.Eof() && table.Bof());
        QCOMPARE(table.RecNo(), 0);
    }

    void closeDiscardsRowsAndKeepsDefinitions()
    {
        TableStore table;
        DefineCards(table);
        AppendCard(table, QStringLiteral("1"));
        QSignalSpy resets(&table, &TableStore::tableReset);
        table.Close();
        QCOMPARE(resets.count(), 1);
        QVERIFY(!table.Active());
        QCOMPARE(table.RecordCount(), 0);
        QCOMPARE(table.Fields(), CardTableFields());
        QVERIFY(table.CreateDataSet());
        QVERIFY(table.IsEmpty());
    }

    void signalsFollowChanges()
    {
        TableStore table;
        DefineCards(table);
        QSignalSpy inserted(&table, &TableStore::rowInserted);
        QSignalSpy changed(&table, &TableStore::rowChanged);
        QSignalSpy removed(&table, &TableStore::rowRemoved);
        QSignalSpy moved(&table, &TableStore::currentRowChanged);
        AppendCard(table, QStringLiteral("1"));
        QVERIFY(table.AppendRow({QStringLiteral("2")}));
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(inserted.at(1).at(0).toInt(), 1);
        QCOMPARE(moved.last().at(0).toInt(), 1);
        table.First();
        QCOMPARE(moved.last().at(0).toInt(), 0);
        QVERIFY(table.Edit());
        QVERIFY(table.Post());
        QCOMPARE(changed.count(), 1);
        QVERIFY(table.Delete());
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(0).toInt(), 0);
    }

    void bulkAppendSavesAndLoads()
    {
        const QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TableStore table;
        table.Close();
        for (const TableField &field : RecordTableFields())
            QVERIFY(table.AddField(field.name, field.size));
        QVERIFY(table.CreateDataSet());
        constexpr int Rows = 100000;
        for (int i = 0; i < Rows; ++i) {
            const QString n = QString::number(i);
            QVERIFY(table.AppendRow({n, n.rightJustified(7, u'0'),
                                     QStringLiteral("2024-01-02 03:04:05"), QStringLiteral("1"),
                                     QStringLiteral("Card OK"), QStringLiteral("2"),
                                     QStringLiteral("0")}));
        }
        const QString path = dir.filePath(QStringLiteral("KTIOData.xml"));
        const TableResult saved = table.SaveToFile(path);
        QVERIFY2(saved.ok(), qPrintable(saved.error()));

        TableStore loaded;
        const TableResult result = loaded.LoadFromFile(path);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(loaded.RecordCount(), Rows);
        QCOMPARE(loaded.Fields(), RecordTableFields());
        QCOMPARE(loaded.Content().rows, table.Content().rows);
    }
};

QTEST_GUILESS_MAIN(TestTableStore)
#include "test_table_store.moc"
