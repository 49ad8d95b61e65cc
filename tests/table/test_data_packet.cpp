#include "KnownFieldLists.h"
#include "TableStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

const QString DataDir = QStringLiteral(TABLE_TEST_DATA);

void Define(TableStore &table, const QList<TableField> &fields)
{
    table.Close();
    QVERIFY(table.ClearFields());
    for (const TableField &field : fields)
        QVERIFY(table.AddField(field.name, field.size));
    QVERIFY(table.CreateDataSet());
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Awkward values, each cut to `size`: markup characters, CJK, empty, full width, spaces
// at both ends, line breaks and tabs.
QStringList AwkwardValues(int size)
{
    const QStringList raw = {
        QStringLiteral("say \"hi\" & <b>'x'</b>"),
        QStringLiteral("門禁控制器 卡片"),
        QString(),
        QString(size, u'W'),
        QStringLiteral("  padded  "),
        QStringLiteral("a\r\nb\tc\nd\re"),
        QStringLiteral("\t\r\n\r\n\t"),
        QStringLiteral("&amp; &#013; ]]> --"),
    };
    QStringList values;
    for (const QString &value : raw)
        values << value.left(size);
    return values;
}

const TableField &FieldAt(const QList<TableField> &fields, int i)
{
    return fields.at(i % fields.size());
}

// Runs `save` with the process's file size limit set to `bytes`: writes beyond it fail, as on
// a full disk.
TableResult WithFileSizeLimit(rlim_t bytes, const std::function<TableResult()> &save)
{
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = bytes;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    const TableResult result = save();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}

} // namespace

class TestDataPacket : public QObject
{
    Q_OBJECT

private slots:
    void exactBytesOfSmallFile()
    {
        const QTemporaryDir dir;
        TableStore table;
        Define(table, ParameterFileFields());
        QVERIFY(table.AppendRow({QStringLiteral("AF13"), QStringLiteral("120")}));
        QVERIFY(table.AppendRow({QStringLiteral("DC"), QString()}));
        QVERIFY(table.AppendRow({QStringLiteral("A&B"), QStringLiteral("x\"<y>\r\n\tz")}));
        const QString path = dir.filePath(QStringLiteral("p.xml"));
        QVERIFY(table.SaveToFile(path).ok());
        QCOMPARE(ReadBytes(path),
                 QByteArray("<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET "
                            "Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"DataType\" "
                            "fieldtype=\"string\" WIDTH=\"10\"/><FIELD attrname=\"DataVaue\" "
                            "fieldtype=\"string\" WIDTH=\"100\"/></FIELDS><PARAMS/></METADATA>"
                            "<ROWDATA><ROW DataType=\"AF13\" DataVaue=\"120\"/><ROW "
                            "DataType=\"DC\"/><ROW DataType=\"A&amp;B\" "
                            "DataVaue=\"x&quot;&lt;y&gt;&#013;&#010;&#009;z\"/></ROWDATA>"
                            "</DATAPACKET>"));

        QVERIFY(table.AppendRow({QStringLiteral("BD01"), QStringLiteral("門")}));
        QVERIFY(table.SaveToFile(path).ok());
        const QByteArray utf8 = ReadBytes(path);
        QVERIFY(utf8.startsWith(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>  <DATAPACKET"));
        QVERIFY(utf8.endsWith("<ROW DataType=\"BD01\" DataVaue=\"\xE9\x96\x80\"/></ROWDATA>"
                              "</DATAPACKET>"));
    }

    void roundTripOfEachFieldList_data()
    {
        QTest::addColumn<QList<TableField>>("fields");
        QTest::newRow("parameter") << ParameterFileFields();
        QTest::newRow("card") << CardTableFields();
        QTest::newRow("record") << RecordTableFields();
    }

    void roundTripOfEachFieldList()
    {
        QFETCH(QList<TableField>, fields);
        const QTemporaryDir dir;
        TableStore table;
        Define(table, fields);
        // Every awkward value appears in every column.
        for (int shift = 0; shift < fields.size(); ++shift) {
            for (int v = 0; v < 8; ++v) {
                QVERIFY(table.Append());
                for (int f = 0; f < fields.size(); ++f) {
                    const TableField &field = FieldAt(fields, f);
                    const QStringList values = AwkwardValues(field.size);
                    QVERIFY(
                        table.SetFieldText(field.name, values.at((v + shift + f) % values.size())));
                }
                QVERIFY(table.Post());
            }
        }
        const QString path = dir.filePath(QStringLiteral("t.xml"));
        const TableResult saved = table.SaveToFile(path);
        QVERIFY2(saved.ok(), qPrintable(saved.error()));
        // Any XML reader takes the file.
        QXmlStreamReader strict(ReadBytes(path));
        while (!strict.atEnd())
            strict.readNext();
        QVERIFY2(!strict.hasError(), qPrintable(strict.errorString()));

        TableStore loaded;
        const TableResult result = loaded.LoadFromFile(path);
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(loaded.Fields(), fields);
        QCOMPARE(loaded.RecordCount(), 8 * int(fields.size()));
        QCOMPARE(loaded.Content().rows, table.Content().rows);
    }

    void changeLogTypesAndExtraAttributes()
    {
        TableStore table;
        const TableResult result = table.LoadFromFile(DataDir + QStringLiteral("/changelog.xml"));
        QVERIFY2(result.ok(), qPrintable(result.error()));
        const QList<TableField> expected = {
            {QStringLiteral("DataNO"), 10, QStringLiteral("string")},
            {QStringLiteral("Count"), 0, QStringLiteral("i4")},
            {QStringLiteral("Amount"), 0, QStringLiteral("r8")},
            {QStringLiteral("When"), 0, QStringLiteral("dateTime")},
            {QStringLiteral("Note"), 1, QStringLiteral("bin.hex")},
        };
        QCOMPARE(table.Fields(), expected);
        // Inserted row, the modified row merged with its original, the unchanged row; the
        // original and the deleted row are not part of the table.
        const QList<QStringList> rows = {
            {"0000001", "7", "1.5", "20240102T03:04:05000", "first"},
            {"0000002", "8", "", "", "new"},
            {"0000004", "", "", "", ""},
        };
        QCOMPARE(table.Content().rows, rows);
        QCOMPARE(table.RecNo(), 1);
        QVERIFY(table.Bof());

        // Other types are kept when saved back; their values are not cut.
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("again.xml"));
        QVERIFY(table.SaveToFile(path).ok());
        const QByteArray bytes = ReadBytes(path);
        QVERIFY(bytes.contains("<FIELD attrname=\"Count\" fieldtype=\"i4\"/>"));
        QVERIFY(bytes.contains("<FIELD attrname=\"Note\" fieldtype=\"bin.hex\" WIDTH=\"1\"/>"));
        TableStore again;
        QVERIFY(again.LoadFromFile(path).ok());
        QCOMPARE(again.Fields(), expected);
        QCOMPARE(again.Content().rows, rows);
    }

    void byteOrderMarkPrettyPrintAndReferences()
    {
        TableStore table;
        const TableResult result = table.LoadFromFile(DataDir + QStringLiteral("/pretty_bom.xml"));
        QVERIFY2(result.ok(), qPrintable(result.error()));
        QCOMPARE(table.Fields().size(), 2);
        QCOMPARE(table.Fields().at(1).type, QStringLiteral("string.uni"));
        const QList<QStringList> rows = {
            {"AF13", "120"},
            {"DC", QStringLiteral("門禁\r\nline\ttab A\x01")},
            {"", "no type"},
        };
        QCOMPARE(table.Content().rows, rows);
    }

    void declaredEncodings()
    {
        TableStore table;
        QVERIFY(table.LoadFromFile(DataDir + QStringLiteral("/latin1.xml")).ok());
        QCOMPARE(table.Value(0, 0), QStringLiteral("café"));
        const TableResult big5 = table.LoadFromFile(DataDir + QStringLiteral("/big5.xml"));
        QVERIFY2(big5.ok(), qPrintable(big5.error()));
        QCOMPARE(table.Value(0, 0), QStringLiteral("門禁"));

        // An encoding this platform does not know is read as UTF-8.
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("odd.xml"));
        QVERIFY(WriteBytes(path, "<?xml version=\"1.0\" encoding=\"x-unknown-42\"?>"
                                 "<DATAPACKET Version=\"2.0\"><METADATA><FIELDS><FIELD "
                                 "attrname=\"A\" fieldtype=\"string\" WIDTH=\"5\"/></FIELDS>"
                                 "</METADATA><ROWDATA><ROW A=\"\xC3\xA9\"/></ROWDATA>"
                                 "</DATAPACKET>"));
        const TableResult odd = table.LoadFromFile(path);
        QVERIFY2(odd.ok(), qPrintable(odd.error()));
        QCOMPARE(table.Value(0, 0), QStringLiteral("é"));
    }

    void badFilesKeepTheTable_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("where");
        const QByteArray head = "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET "
                                "Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"A\" "
                                "fieldtype=\"string\" WIDTH=\"5\"/></FIELDS><PARAMS/></METADATA>";
        QTest::newRow("truncated")
            << head + "<ROWDATA><ROW A=\"1\"/><ROW A=\"2" << QStringLiteral("line 1, column");
        QTest::newRow("truncated after rows") << head + "<ROWDATA><ROW A=\"1\"/>\n"
                                              << QStringLiteral("line 2, column");
        QTest::newRow("mismatched tag") << head + "\n<ROWDATA><ROW A=\"1\"></ROWDATA></DATAPACKET>"
                                        << QStringLiteral("line 2, column");
        QTest::newRow("unescaped ampersand")
            << head + "<ROWDATA>\n\n<ROW A=\"a&b\"/></ROWDATA></DATAPACKET>"
            << QStringLiteral("line 3, column");
        QTest::newRow("not a data packet")
            << QByteArray("<?xml version=\"1.0\"?>\n<html><body/></html>")
            << QStringLiteral("line 2, column");
        QTest::newRow("no fields")
            << QByteArray("<DATAPACKET Version=\"2.0\"><METADATA><FIELDS/></METADATA>"
                          "<ROWDATA/></DATAPACKET>")
            << QStringLiteral("line 1, column");
        QTest::newRow("no metadata") << QByteArray("<DATAPACKET Version=\"2.0\"></DATAPACKET>")
                                     << QStringLiteral("line 1, column");
        QTest::newRow("bad width")
            << QByteArray("<DATAPACKET>\n<METADATA><FIELDS><FIELD attrname=\"A\" "
                          "fieldtype=\"string\" WIDTH=\"wide\"/></FIELDS></METADATA>"
                          "</DATAPACKET>")
            << QStringLiteral("line 2, column");
        QTest::newRow("field twice")
            << QByteArray("<DATAPACKET><METADATA><FIELDS><FIELD attrname=\"A\"/>\n<FIELD "
                          "attrname=\"A\"/></FIELDS></METADATA></DATAPACKET>")
            << QStringLiteral("line 2, column");
        QTest::newRow("invalid UTF-8")
            << head + "\n\n<ROWDATA><ROW A=\"\xFF\xFE\"/></ROWDATA></DATAPACKET>"
            << QStringLiteral("line 3");
        QTest::newRow("trailing garbage")
            << head + "<ROWDATA/></DATAPACKET>\n<again/>" << QStringLiteral("line 2, column");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("line 1, column");
    }

    void badFilesKeepTheTable()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, where);
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.xml"));
        QVERIFY(WriteBytes(path, bytes));

        TableStore table;
        Define(table, CardTableFields());
        QVERIFY(table.AppendRow({QStringLiteral("0000001"), QStringLiteral("ID")}));
        QVERIFY(table.AppendRow({QStringLiteral("0000002")}));
        QVERIFY(table.SetRecNo(2));
        const TableContent before = table.Content();

        const TableResult result = table.LoadFromFile(path);
        QVERIFY(!result.ok());
        QVERIFY2(result.error().startsWith(path + u':'), qPrintable(result.error()));
        QVERIFY2(result.error().contains(where), qPrintable(result.error()));
        QCOMPARE(table.Fields(), before.fields);
        QCOMPARE(table.Content().rows, before.rows);
        QCOMPARE(table.RecNo(), 2);
        QVERIFY(table.Active());
    }

    void missingFileNamesTheFile()
    {
        const QTemporaryDir dir;
        TableStore table;
        const QString path = dir.filePath(QStringLiteral("none.xml"));
        const TableResult result = table.LoadFromFile(path);
        QVERIFY(!result.ok());
        QVERIFY(result.error().contains(path));
        QVERIFY(!table.Active());
    }

    void nothingToSave()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xml"));
        TableStore table;
        Define(table, ParameterFileFields());
        const TableResult empty = table.SaveToFile(path);
        QVERIFY(!empty.ok());
        QVERIFY(empty.error().contains(QStringLiteral("nothing to save")));
        QVERIFY(empty.error().contains(path));
        table.Close();
        QVERIFY(!table.SaveToFile(path).ok());
        QVERIFY(!QFile::exists(path));
    }

    void pendingInsertIsSaved()
    {
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xml"));
        TableStore table;
        Define(table, ParameterFileFields());
        QVERIFY(table.Append());
        QVERIFY(table.SetFieldText(QStringLiteral("DataType"), QStringLiteral("AF01")));
        QVERIFY(table.SaveToFile(path).ok());
        TableStore loaded;
        QVERIFY(loaded.LoadFromFile(path).ok());
        QCOMPARE(loaded.Value(0, 0), QStringLiteral("AF01"));
    }

    void failedSaveKeepsTheOldFile()
    {
        const QTemporaryDir dir;
        TableStore table;
        Define(table, ParameterFileFields());
        QVERIFY(table.AppendRow({QStringLiteral("AF13"), QStringLiteral("120")}));

        // A target that is a folder.
        const QString folder = dir.filePath(QStringLiteral("folder.xml"));
        QVERIFY(QDir().mkdir(folder));
        const TableResult onFolder = table.SaveToFile(folder);
        QVERIFY(!onFolder.ok());
        QVERIFY2(onFolder.error().contains(folder), qPrintable(onFolder.error()));
        QVERIFY(QFileInfo(folder).isDir());

        // A folder entry where a file is expected: nothing is made, the file stays as it was.
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        QVERIFY(WriteBytes(blocker, "not a folder"));
        const QString underFile = blocker + QStringLiteral("/p.xml");
        const TableResult onFile = table.SaveToFile(underFile);
        QVERIFY(!onFile.ok());
        QVERIFY2(onFile.error().contains(underFile), qPrintable(onFile.error()));
        QCOMPARE(ReadBytes(blocker), QByteArray("not a folder"));

        // An old file whose name takes all the 255 bytes a folder entry allows: the new file
        // cannot be written beside it under a temporary name, whatever the user's rights. The
        // save fails and the old file stays as it was, with nothing left beside it.
        const QString longName = QString(251, QLatin1Char('p')) + QStringLiteral(".xml");
        const QString path = dir.filePath(QStringLiteral("full/") + longName);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("full")));
        QVERIFY(WriteBytes(path, "the old file"));
        QVERIFY(table.AppendRow({QStringLiteral("AF14"), QStringLiteral("1")}));
        const TableResult failed = table.SaveToFile(path);
        QVERIFY(!failed.ok());
        QVERIFY2(failed.error().contains(path), qPrintable(failed.error()));
        QCOMPARE(ReadBytes(path), QByteArray("the old file"));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("full"))).entryList(QDir::Files),
                 QStringList{longName});
    }

    // A value XML cannot carry (as a CSV file or a controller's reply may bring in) would make
    // a file that never loads again, here or in any other XML reader: the save is refused with
    // the place named, and the old file stays.
    void valueADataPacketCannotCarryIsNotSaved_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("named");
        QTest::newRow("bell") << QStringLiteral("12\x07"
                                                "4")
                              << QStringLiteral("U+0007");
        QTest::newRow("U+0001") << QStringLiteral("\x01") << QStringLiteral("U+0001");
        QTest::newRow("U+001F") << QStringLiteral("a\tb\x1F") << QStringLiteral("U+001F");
        QTest::newRow("U+FFFF") << QStringLiteral("n\uFFFFn") << QStringLiteral("U+FFFF");
        QTest::newRow("U+FFFE") << QStringLiteral("\uFFFE") << QStringLiteral("U+FFFE");
        QTest::newRow("half a pair") << QString(QChar(0xD800)) << QStringLiteral("U+D800");
        QTest::newRow("stand-in") << QStringLiteral("\uFDD0") << QStringLiteral("U+FDD0");
    }

    void valueADataPacketCannotCarryIsNotSaved()
    {
        QFETCH(QString, value);
        QFETCH(QString, named);
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("p.xml"));
        QVERIFY(WriteBytes(path, "the old file"));
        TableStore table;
        Define(table, ParameterFileFields());
        QVERIFY(table.AppendRow({QStringLiteral("AF13"), QStringLiteral("120")}));
        QVERIFY(table.AppendRow({QStringLiteral("AF14"), value}));
        const TableResult saved = table.SaveToFile(path);
        QVERIFY(!saved.ok());
        QVERIFY2(saved.error().contains(QStringLiteral("row 2, field DataVaue holds the "
                                                       "character ") +
                                        named),
                 qPrintable(saved.error()));
        QCOMPARE(ReadBytes(path), QByteArray("the old file"));

        // A pair of surrogates is one character beyond U+FFFF, which a file carries.
        TableStore wide;
        Define(wide, ParameterFileFields());
        QVERIFY(wide.AppendRow({QStringLiteral("AF14"), QStringLiteral("\U0001F511")}));
        QVERIFY(wide.SaveToFile(path).ok());
        TableStore loaded;
        QVERIFY(loaded.LoadFromFile(path).ok());
        QCOMPARE(loaded.Content().rows, wide.Content().rows);
    }

    // A write that fails (here: beyond the process's file size limit, which holds for every
    // user, as a full disk would) leaves the old file and no temporary file behind: half-way
    // through a large file, and at the end of a small one that the write buffer held whole.
    void saveFailingWhileWritingKeepsTheOldFile_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("limit");
        QTest::newRow("large file") << 20000 << 64 * 1024;
        QTest::newRow("small file, buffered whole") << 60 << 2 * 1024;
    }

    void saveFailingWhileWritingKeepsTheOldFile()
    {
        QFETCH(int, rows);
        QFETCH(int, limit);
        const QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cards.xml"));
        TableStore table;
        Define(table, CardTableFields());
        QVERIFY(table.AppendRow({QStringLiteral("0000001"), QStringLiteral("0000000000000001")}));
        QVERIFY(table.SaveToFile(path).ok());
        const QByteArray old = ReadBytes(path);
        QVERIFY(old.size() < limit);
        for (int i = 2; i < rows; ++i)
            QVERIFY(table.AppendRow({QString::number(i), QStringLiteral("0000000000000001")}));

        const TableResult result = WithFileSizeLimit(limit, [&] { return table.SaveToFile(path); });

        QVERIFY(!result.ok());
        QVERIFY2(result.error().contains(path), qPrintable(result.error()));
        // The reason in words, never Qt's "Unknown error" of a short write.
        QVERIFY2(!result.error().contains(QStringLiteral("Unknown error")) &&
                     (result.error().contains(QStringLiteral("the disk is full")) ||
                      result.error().contains(QStringLiteral("too large"))),
                 qPrintable(result.error()));
        QCOMPARE(ReadBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("cards.xml")});
    }
};

QTEST_GUILESS_MAIN(TestDataPacket)
#include "test_data_packet.moc"
