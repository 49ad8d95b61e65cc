#include "KnownFieldLists.h"
#include "TableCsv.h"
#include "TableJson.h"
#include "TableStore.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

void Define(TableStore &table, const QList<TableField> &fields)
{
    table.Close();
    QVERIFY(table.ClearFields());
    for (const TableField &field : fields)
        QVERIFY(table.AddField(field.name, field.size));
    QVERIFY(table.CreateDataSet());
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestTableCsv : public QObject
{
    Q_OBJECT

private slots:
    void writesRfc4180()
    {
        TableStore table;
        Define(table, ParameterFileFields());
        QVERIFY(table.AppendRow({QStringLiteral("AF13"), QStringLiteral("120")}));
        QVERIFY(table.AppendRow({QStringLiteral("a,b"), QStringLiteral("say \"hi\"")}));
        QVERIFY(table.AppendRow({QStringLiteral("x\r\ny"), QString()}));
        QVERIFY(table.AppendRow({QStringLiteral(" 門 "), QStringLiteral("l\nf")}));
        QCOMPARE(TableToCsv(table), QByteArray("DataType,DataVaue\r\n"
                                               "AF13,120\r\n"
                                               "\"a,b\",\"say \"\"hi\"\"\"\r\n"
                                               "\"x\r\ny\",\r\n"
                                               " \xE9\x96\x80 ,\"l\nf\"\r\n"));
    }

    void roundTripThroughFile()
    {
        const QTemporaryDir dir;
        TableStore table;
        Define(table, CardTableFields());
        QVERIFY(table.AppendRow({"0000001", "a,b", "\"q\"", "", "12XX", "0"}));
        QVERIFY(table.AppendRow({"0000002", "line\r\nbreak", "tab\t", "門禁", "  ", "1"}));
        QVERIFY(table.AppendRow({"0000003", "lf\nonly", "cr\ronly", ",", "\"\"", ""}));
        const QString path = dir.filePath(QStringLiteral("cards.csv"));
        QVERIFY(WriteCsvFile(table, path).ok());

        TableStore back;
        const TableResult read = ReadCsvFile(path, back);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(back.Content().rows, table.Content().rows);
        // The header names the card table: its sizes come back.
        QCOMPARE(back.Fields(), CardTableFields());
    }

    // A write that fails at the end (beyond the process's file size limit, as on a full disk)
    // with the whole file still in the write buffer is reported, and the old file stays.
    void failedWriteKeepsTheOldFile()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cards.csv"));
        TableStore table;
        Define(table, CardTableFields());
        QVERIFY(table.AppendRow({"0000001", "0000000000000001", "", "", "", "0"}));
        QVERIFY(WriteCsvFile(table, path).ok());
        QFile oldFile(path);
        QVERIFY(oldFile.open(QIODevice::ReadOnly));
        const QByteArray old = oldFile.readAll();
        oldFile.close();
        for (int i = 2; i < 100; ++i)
            QVERIFY(table.AppendRow({QString::number(i), "0000000000000001", "", "", "", "0"}));

        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 1024;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const TableResult result = WriteCsvFile(table, path);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!result.ok());
        QVERIFY2(result.error().contains(path), qPrintable(result.error()));
        QVERIFY(oldFile.open(QIODevice::ReadOnly));
        QCOMPARE(oldFile.readAll(), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cards.csv")});
    }

    // Only the file's first bytes can be a byte-order mark: a value that starts a later line
    // with U+FEFF keeps it, so a converted file says what the table said.
    void byteOrderMarkInsideTheTextStays()
    {
        TableStore table;
        Define(table, {{QStringLiteral("A"), 5}, {QStringLiteral("B"), 5}});
        QVERIFY(table.AppendRow({QStringLiteral("\uFEFFx"), QStringLiteral("y")}));
        QVERIFY(table.AppendRow({QStringLiteral("\uFEFF"), QStringLiteral("\uFEFFz")}));
        const QByteArray csv = TableToCsv(table);
        QVERIFY(csv.startsWith("A,B\r\n\xEF\xBB\xBFx,y"));
        TableStore back;
        QVERIFY(ParseCsv("\xEF\xBB\xBF" + csv, QStringLiteral("bom.csv"), back).ok());
        QCOMPARE(back.Fields().at(0).name, QStringLiteral("A"));
        QCOMPARE(back.Content().rows, table.Content().rows);
    }

    void unknownHeadersGetDefaultOrLongestSize()
    {
        TableStore table;
        const QByteArray csv = "\xEF\xBB\xBFName,Note\n"
                               "short,\"" +
                               QByteArray(300, 'n') +
                               "\"\n"
                               "\n"
                               "b,c";
        const TableResult read = ParseCsv(csv, QStringLiteral("in.csv"), table);
        QVERIFY2(read.ok(), qPrintable(read.error()));
        QCOMPARE(table.Fields().at(0), (TableField{QStringLiteral("Name"), DefaultCsvFieldSize}));
        QCOMPARE(table.Fields().at(1).size, 300);
        QCOMPARE(table.RecordCount(), 2);
        QCOMPARE(table.Value(1, 1), QStringLiteral("c"));

        // A known list widens instead of cutting.
        const QByteArray wide = "DataType,DataVaue\r\nAF13_TOO_LONG,1\r\n";
        QVERIFY(ParseCsv(wide, QStringLiteral("w.csv"), table).ok());
        QCOMPARE(table.Fields().at(0).size, 13);
        QCOMPARE(table.Fields().at(1).size, 100);
        QCOMPARE(table.Value(0, 0), QStringLiteral("AF13_TOO_LONG"));
    }

    void singleFieldEmptyValuesSurvive()
    {
        TableStore table;
        Define(table, {{QStringLiteral("Only"), 5}});
        QVERIFY(table.AppendRow({QString()}));
        QVERIFY(table.AppendRow({QStringLiteral("x")}));
        const QByteArray csv = TableToCsv(table);
        QCOMPARE(csv, QByteArray("Only\r\n\"\"\r\nx\r\n"));
        TableStore back;
        QVERIFY(ParseCsv(csv, QStringLiteral("one.csv"), back).ok());
        QCOMPARE(back.Content().rows, table.Content().rows);
    }

    void badCsvNamesFileAndLineAndKeepsTable_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("line");
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("too many values") << QByteArray("A,B\r\n1,2\r\n1,2,3\r\n") << 3;
        QTest::newRow("too few after multi-line value") << QByteArray("A,B\n\"x\ny\",2\n3\n") << 4;
        QTest::newRow("unclosed quote") << QByteArray("A,B\n1,2\n3,\"open\nmore\n") << 3;
        QTest::newRow("text after quote") << QByteArray("A,B\n\"a\"b,2\n") << 2;
        QTest::newRow("quote inside value") << QByteArray("A,B\na\"b,2\n") << 2;
        QTest::newRow("bad field name") << QByteArray("Card No,B\n1,2\n") << 1;
        QTest::newRow("duplicate field") << QByteArray("A,A\n1,2\n") << 1;
        QTest::newRow("invalid UTF-8") << QByteArray("A,B\n1,2\n\xFF,3\n") << 3;
    }

    void badCsvNamesFileAndLineAndKeepsTable()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, line);
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.csv"));
        QVERIFY(WriteBytes(path, csv));
        TableStore table;
        Define(table, ParameterFileFields());
        QVERIFY(table.AppendRow({QStringLiteral("AF13"), QStringLiteral("120")}));
        const TableResult result = ReadCsvFile(path, table);
        QVERIFY(!result.ok());
        const QString expected = QStringLiteral("%1: line %2: ").arg(path).arg(line);
        QVERIFY2(result.error().startsWith(expected), qPrintable(result.error()));
        QCOMPARE(table.Fields(), ParameterFileFields());
        QCOMPARE(table.RecordCount(), 1);
    }

    void inactiveTableIsNotWritten()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("x.csv"));
        TableStore table;
        const TableResult result = WriteCsvFile(table, path);
        QVERIFY(!result.ok());
        QVERIFY(result.error().contains(path));
        QVERIFY(!QFile::exists(path));
    }

    void jsonShape()
    {
        TableStore table;
        Define(table, ParameterFileFields());
        QVERIFY(table.AppendRow({QStringLiteral("AF13"), QStringLiteral("120")}));
        QVERIFY(table.AppendRow({QStringLiteral("DC"), QStringLiteral("q\"\\\r\n\t\x01門")}));
        const QByteArray json = TableToJson(table);
        QVERIFY(json.startsWith("{\"fields\":[{\"name\":\"DataType\",\"type\":\"string\","
                                "\"width\":10},{\"name\":\"DataVaue\""));
        // Field order within a row follows the table.
        QVERIFY(json.contains("{\"DataType\":\"AF13\",\"DataVaue\":\"120\"}"));

        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(json, &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        const QJsonObject root = document.object();
        QCOMPARE(root.keys(), (QStringList{"fields", "rows"}));
        const QJsonArray fields = root.value(u"fields").toArray();
        QCOMPARE(fields.size(), 2);
        QCOMPARE(fields.at(1).toObject().value(u"name").toString(), QStringLiteral("DataVaue"));
        QCOMPARE(fields.at(1).toObject().value(u"width").toInt(), 100);
        const QJsonArray rows = root.value(u"rows").toArray();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(1).toObject().value(u"DataVaue").toString(),
                 QStringLiteral("q\"\\\r\n\t\x01門"));
        QVERIFY(rows.at(0).toObject().value(u"DataType").isString());
    }
};

QTEST_GUILESS_MAIN(TestTableCsv)
#include "test_table_csv.moc"
