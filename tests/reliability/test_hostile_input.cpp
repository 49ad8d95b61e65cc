// Hostile input at every entry point: command texts, numbers, files and settings that a
// careless or malicious hand may give. Each gets a clear error and changes nothing: nothing
// reaches the controller, no file or table is touched.
#include "CardFile.h"
#include "CardTable.h"
#include "DataPacketWriter.h"
#include "KnownFieldLists.h"
#include "RecordFile.h"
#include "RecordTable.h"
#include "Settings.h"
#include "SimulatorHost.h"
#include "TableFileLimit.h"
#include "TableStore.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include <sys/stat.h>

namespace {

struct Run
{
    int exitCode = -1;
    QString err;
    qint64 elapsedMs = 0;
};

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

QByteArray RandomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char &c : bytes)
        c = static_cast<char>(random.bounded(256));
    return bytes;
}

// A card file of the given cards, as the card window writes it.
QByteArray CardFileBytes(int cards)
{
    TableStore table;
    CardTable::Recreate(table);
    for (int n = 1; n <= cards; ++n) {
        CardTable::Append(table, {QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0')),
                                  QStringLiteral("%1").arg(n, 16, 16, QLatin1Char('0')),
                                  QStringLiteral("01"), QStringLiteral("0"), QStringLiteral("1234"),
                                  QStringLiteral("1")});
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    WriteDataPacket(table.Content(), buffer);
    return buffer.data();
}

} // namespace

class TestHostileInput : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        received_.clear();
        // A listener that answers nothing and counts what reaches it.
        server_ = std::make_unique<QTcpServer>();
        QVERIFY(server_->listen(QHostAddress::LocalHost));
        listening_ = QStringLiteral("127.0.0.1:%1").arg(server_->serverPort());
    }

    // Too long, framing bytes, characters outside Latin-1, nothing at all.
    void commandTextsTheFrameCannotCarry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("256 characters") << QStringLiteral("0001AS") + QString(250, u'9');
        for (const char framing : {'\x01', '\x02', '\x03', '\x04', '\x0D'})
            QTest::addRow("byte %02X", framing) << QStringLiteral("0001AS") + QChar(framing);
        QTest::newRow("not Latin-1") << QStringLiteral("0001AS門");
        QTest::newRow("empty") << QString();
    }

    void commandTextsTheFrameCannotCarry()
    {
        QFETCH(QString, text);
        const Run r = ctl({QStringLiteral("--tcp"), listening_, QStringLiteral("exchange"), text});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(QStringLiteral("not a command text")), qPrintable(r.err));
        QCOMPARE(bytesReceived(), 0);
    }

    void parameterValuesTheFrameCannotCarry_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("value");
        QTest::newRow("page value with framing byte") << "AF13" << QStringLiteral("12\x04");
        QTest::newRow("page value not Latin-1") << "AF13" << QStringLiteral("一二");
        QTest::newRow("page value 300 digits") << "AF13" << QString(300, u'1');
        QTest::newRow("page value empty") << "AF15" << QString();
        QTest::newRow("record with CR") << "BD01" << QStringLiteral("0102\r");
        QTest::newRow("record 300 characters") << "BD01" << QString(300, u'1');
        QTest::newRow("code with framing byte") << QStringLiteral("AF1\x01") << "1";
        QTest::newRow("not a parameter code") << "HK"
                                              << "";
    }

    void parameterValuesTheFrameCannotCarry()
    {
        QFETCH(QString, code);
        QFETCH(QString, value);
        const Run r = ctl({QStringLiteral("--tcp"), listening_, QStringLiteral("params"),
                           QStringLiteral("set"), code, value});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(code + QStringLiteral(": ")), qPrintable(r.err));
        QCOMPARE(bytesReceived(), 0);
    }

    void numbersOutOfRange_data()
    {
        QTest::addColumn<QStringList>("arguments");
        const auto cards = [this](const QString &option, const QString &value) {
            return QStringList{QStringLiteral("--tcp"), listening_, QStringLiteral("cards"),
                               QStringLiteral("read"),  option,     value};
        };
        QTest::newRow("card -5") << cards(QStringLiteral("--to"), QStringLiteral("-5"));
        QTest::newRow("card 10^20") << cards(QStringLiteral("--to"), QString(21, u'9'));
        QTest::newRow("card 10000000") << cards(QStringLiteral("--to"), "10000000");
        QTest::newRow("card 1e3") << cards(QStringLiteral("--from"), QStringLiteral("1e3"));
        QTest::newRow("id -1") << QStringList{"--tcp", listening_, "--id", "-1", "identify"};
        QTest::newRow("id 10000") << QStringList{"--tcp", listening_, "--id", "10000", "identify"};
        QTest::newRow("echo 256") << QStringList{"--tcp",  listening_, "exchange",
                                                 "0001AS", "--echo",   "256"};
        QTest::newRow("limit -1") << QStringList{"--tcp", listening_, "records",
                                                 "read",  "--limit",  "-1"};
        QTest::newRow("port 0") << QStringList{"--tcp", "127.0.0.1:0", "identify"};
        QTest::newRow("port 65536") << QStringList{"--tcp", "127.0.0.1:65536", "identify"};
        QTest::newRow("local port -1")
            << QStringList{"--udp", "127.0.0.1:5001", "--local-port", "-1", "identify"};
    }

    void numbersOutOfRange()
    {
        QFETCH(QStringList, arguments);
        const Run r = ctl(arguments);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(!r.err.isEmpty());
        QCOMPARE(bytesReceived(), 0);
    }

    // A 1 GB file (sparse: it costs no disk) is refused at once, by every verb that reads
    // a table file, and nothing reaches the controller.
    void hugeFileIsRefusedBeforeItIsRead()
    {
        const QString huge = dir_->filePath(QStringLiteral("huge.xml"));
        {
            QFile file(huge);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(1024LL * 1024 * 1024));
        }
        const QString pdf = dir_->filePath(QStringLiteral("report.pdf"));
        for (const QStringList &args :
             {QStringList{"file", "show", huge},
              QStringList{"file", "convert", huge, dir_->filePath("out.csv")},
              QStringList{"--tcp", listening_, "cards", "write", huge, "--clear-all"},
              QStringList{"--tcp", listening_, "params", "restore", huge},
              QStringList{"records", "report", huge, "--pdf", pdf}}) {
            const Run r = ctl(args);
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.contains(QStringLiteral("above 128 MB are not read")),
                     qPrintable(r.err));
            QVERIFY2(r.elapsedMs < 5000, qPrintable(QString::number(r.elapsedMs)));
        }
        QVERIFY(!QFile::exists(dir_->filePath("out.csv")));
        QVERIFY(!QFile::exists(pdf));
        // Identification may be tried; no card or parameter command is sent.
        QVERIFY(!received_.contains("HK") && !received_.contains("HA") &&
                !received_.contains("AF"));

        // The window's table keeps what it held.
        TableStore table;
        QVERIFY(CardFile::Load(table, writeCardFile(QStringLiteral("ok.xml"), 3)));
        QVERIFY(!CardFile::Load(table, huge));
        QCOMPARE(table.RecordCount(), 3);
    }

    // The limit leaves room for a million cards, far more than a controller holds.
    void millionCardFileIsWithinTheLimit()
    {
        const qint64 thousand = CardFileBytes(1000).size();
        const qint64 twoThousand = CardFileBytes(2000).size();
        const qint64 million = thousand + (twoThousand - thousand) * 999;
        QVERIFY2(million < MaxTableFileBytes, qPrintable(QString::number(million)));
        QVERIFY(million > MaxTableFileBytes / 2);
    }

    void devicesAndPipesAreNotRead()
    {
        const QString fifo = dir_->filePath(QStringLiteral("fifo.xml"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        for (const QString &path : {QStringLiteral("/dev/zero"), fifo, dir_->path()}) {
            const Run r = ctl({QStringLiteral("file"), QStringLiteral("show"), path});
            QCOMPARE(r.exitCode, 1);
            QVERIFY2(r.err.contains(path + QStringLiteral(": not a file")), qPrintable(r.err));
        }
    }

    // A card file cut short (a full disk, a copy broken off): refused with the place named,
    // and a restore from it leaves the controller's cards alone.
    void truncatedCardFile_data()
    {
        QTest::addColumn<double>("kept");
        QTest::newRow("first byte") << 0.0;
        QTest::newRow("a tenth") << 0.1;
        QTest::newRow("half") << 0.5;
        QTest::newRow("all but the last byte") << 1.0;
    }

    void truncatedCardFile()
    {
        QFETCH(double, kept);
        const QByteArray whole = CardFileBytes(50);
        const qsizetype size =
            kept >= 1.0 ? whole.size() - 1 : qMax<qsizetype>(1, whole.size() * kept);
        const QString path = dir_->filePath(QStringLiteral("cut.xml"));
        QVERIFY(WriteBytes(path, whole.left(size)));
        TableStore table;
        QVERIFY(CardFile::Load(table, writeCardFile(QStringLiteral("ok.xml"), 2)));
        const TableResult loaded = CardFile::Load(table, path);
        QVERIFY(!loaded);
        QVERIFY2(loaded.error().contains(path + QStringLiteral(": line 1, column ")),
                 qPrintable(loaded.error()));
        QCOMPARE(table.RecordCount(), 2);

        SimulatorHost sim(simulatorWithCards(7));
        const Run r = ctl({QStringLiteral("--tcp"), tcpOf(sim), QStringLiteral("cards"),
                           QStringLiteral("write"), path, QStringLiteral("--clear-all")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(path), qPrintable(r.err));
        QCOMPARE(sim.controller().snapshot().cards, GeneratedCards(7));
    }

    // Rows a controller cannot take: framing bytes, characters outside Latin-1, numbers
    // out of range. Nothing is sent, not even the deletion of the controller's cards.
    void cardFileWithHostileRows()
    {
        TableStore table;
        CardTable::Recreate(table);
        CardTable::Append(table, {"0000001", "00000000000000AA", "01", "0", "1234", "0"});
        CardTable::Append(table, {"0000002", QStringLiteral("00AB\x03"), "01", "0", "", "0"});
        const QString path = dir_->filePath(QStringLiteral("hostile.xml"));
        // No file holds a control character as this program writes it; one edited by hand may.
        QVERIFY(!CardFile::Save(table, path));
        CardTable::Recreate(table);
        CardTable::Append(table, {"0000001", "00000000000000AA", "01", "0", "1234", "0"});
        CardTable::Append(table, {"0000002", QStringLiteral("00ABETX"), "01", "0", "", "0"});
        CardTable::Append(table, {"0000003", QStringLiteral("卡"), "01", "0", "", "0"});
        CardTable::Append(table, {"-4", "1", "01", "0", "", "0"});
        CardTable::Append(table, {"99999999999", "1", "01", "0", "", "0"});
        CardTable::Append(table, {"0000006", "1", "100", "12", "", "-1"});
        QVERIFY(CardFile::Save(table, path));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll().replace("00ABETX", "00AB&#003;");
        file.close();
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        TableStore edited;
        QVERIFY(CardFile::Load(edited, path));
        QCOMPARE(CardTable::RowAt(edited, 1).DataID, QStringLiteral("00AB\x03"));

        SimulatorHost sim(simulatorWithCards(7));
        const Run r = ctl({QStringLiteral("--tcp"), tcpOf(sim), QStringLiteral("cards"),
                           QStringLiteral("write"), path, QStringLiteral("--clear-all")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(sim.controller().snapshot().cards, GeneratedCards(7));
    }

    // A parameter file is a list of commands: only parameter codes with values that fit are
    // sent; "HK" there would delete every card.
    void parameterFileWithHostileRows()
    {
        TableStore table;
        table.Close();
        for (const TableField &field : ParameterFileFields())
            QVERIFY(table.AddField(field.name, field.size));
        QVERIFY(table.CreateDataSet());
        QVERIFY(table.AppendRow({"HK", ""}));
        QVERIFY(table.AppendRow({"AF13", QStringLiteral("1\r2")}));
        QVERIFY(table.AppendRow({"BD01", QStringLiteral("門")}));
        QVERIFY(table.AppendRow({"AF14", "0042"}));
        const QString path = dir_->filePath(QStringLiteral("params.xml"));
        QVERIFY(table.SaveToFile(path));

        SimulatorHost sim(simulatorWithCards(7));
        const Run r = ctl({QStringLiteral("--tcp"), tcpOf(sim), QStringLiteral("params"),
                           QStringLiteral("restore"), path});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("3 rows not sent")), qPrintable(r.err));
        const ControllerData after = sim.controller().snapshot();
        QCOMPARE(after.cards, GeneratedCards(7));
        QCOMPARE(after.parameters.value("AF14"), QByteArray("0042"));
        QCOMPARE(after.parameters.value("AF13"),
                 ControllerData::factory().parameters.value("AF13"));
    }

    // A settings file of random bytes: the program runs on its defaults and leaves the file
    // as it was.
    void settingsFileWithGarbage()
    {
        const QString path = dir_->filePath(QStringLiteral("garbage.ini"));
        const QByteArray garbage = RandomBytes(64 * 1024, 11) + "\n[General]\nCardNoMin=\xFF\xFE";
        QVERIFY(WriteBytes(path, garbage));
        {
            Settings settings(path);
            QCOMPARE(settings.loadInt(QStringLiteral("CardNoMin"), 1), 1);
            QCOMPARE(settings.loadInt(QStringLiteral("CardNoMax"), 10500), 10500);
            QVERIFY(settings.LoadSetting(QStringLiteral("KT480SFileName")).size() < 1024);
        }
        QCOMPARE(ReadBytes(path), garbage);

        // The command line takes its journal folder from the settings file's place.
        SimulatorHost sim(simulatorWithCards(0));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KT480_SETTINGS"), path);
        env.remove(QStringLiteral("KT480_JOURNAL_DIR"));
        const Run r = ctl({QStringLiteral("--tcp"), tcpOf(sim), QStringLiteral("records"),
                           QStringLiteral("count")},
                          env);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(ReadBytes(path), garbage);
    }

    void recordFileWithGarbage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("random bytes") << RandomBytes(32 * 1024, 5);
        QTest::newRow("not a data packet") << QByteArray("<?xml version=\"1.0\"?><html/>");
        QTest::newRow("card file") << CardFileBytes(3);
        QTest::newRow("nested without end") << QByteArray("<DATAPACKET>") + QByteArray(100000, '<');
    }

    void recordFileWithGarbage()
    {
        QFETCH(QByteArray, bytes);
        const QString path = dir_->filePath(QStringLiteral("events.xml"));
        QVERIFY(WriteBytes(path, bytes));
        TableStore table;
        RecordTable::Recreate(table);
        RecordTable::Append(table, {});
        const TableResult loaded = RecordFile::Load(table, path);
        QVERIFY(!loaded);
        QVERIFY2(loaded.error().startsWith(path), qPrintable(loaded.error()));
        QCOMPARE(table.RecordCount(), 1);

        const QString csv = dir_->filePath(QStringLiteral("report.csv"));
        const Run r = ctl({QStringLiteral("records"), QStringLiteral("report"), path,
                           QStringLiteral("--csv"), csv});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(path), qPrintable(r.err));
        QVERIFY(!QFile::exists(csv));
    }

private:
    Run ctl(const QStringList &arguments,
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        QProcess p;
        QProcessEnvironment e = env;
        if (!e.contains(QStringLiteral("KT480_SETTINGS")))
            e.insert(QStringLiteral("KT480_SETTINGS"), dir_->filePath(QStringLiteral("s.ini")));
        if (!e.contains(QStringLiteral("KT480_JOURNAL_DIR")) &&
            !env.contains(QStringLiteral("KT480_SETTINGS")))
            e.insert(QStringLiteral("KT480_JOURNAL_DIR"), dir_->filePath(QStringLiteral("j")));
        p.setProcessEnvironment(e);
        QElapsedTimer clock;
        clock.start();
        p.start(QStringLiteral(KT480CTL_PATH), arguments);
        Run r;
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
            r.exitCode = p.exitCode();
        r.elapsedMs = clock.elapsed();
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }

    // What reached the listener since the test began.
    int bytesReceived()
    {
        while (server_->waitForNewConnection(50)) {
            QTcpSocket *socket = server_->nextPendingConnection();
            socket->waitForReadyRead(50);
            received_ += socket->readAll();
        }
        return int(received_.size());
    }

    QString writeCardFile(const QString &name, int cards)
    {
        const QString path = dir_->filePath(name);
        WriteBytes(path, CardFileBytes(cards));
        return path;
    }

    static SimulatorConfig simulatorWithCards(int cards)
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        ControllerData data = ControllerData::factory();
        data.cards = GeneratedCards(cards);
        config.controllers = {data};
        return config;
    }

    static QString tcpOf(const SimulatorHost &sim)
    {
        return QStringLiteral("127.0.0.1:%1").arg(sim.tcpPort());
    }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<QTcpServer> server_;
    QString listening_;
    QByteArray received_;
};

QTEST_GUILESS_MAIN(TestHostileInput)
#include "test_hostile_input.moc"
