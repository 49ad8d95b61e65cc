// kt480ctl backup DIR and restore DIR against two simulated controllers: a backup stays whole,
// a restore deletes no card it was not shown and writes nothing to a controller it does not
// know.
#include "CtlRun.h"
#include "SimulatorHost.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

const QString ParameterFile = QStringLiteral("KT480NT-V5_Parameter.xml");
const QString CardFile = QStringLiteral("KT480NT-V5_CardData.xml");
const QString RecordFile = QStringLiteral("controller.json");

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Cards 1..count whose IDs name the controller.
QMap<int, QByteArray> cardsOf(int deviceId, int count)
{
    QMap<int, QByteArray> cards;
    for (int n = 1; n <= count; ++n)
        cards.insert(
            n, EncodedCardRecord(QByteArray::number(deviceId * 1000 + n).rightJustified(16, '0'), 1,
                                 0, "XXXX", 0));
    return cards;
}

} // namespace

class TestBackupCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatorHost> sim_;
    QTemporaryDir dir_;
    QString tcp_;

    ControllerState &controller(int deviceId) { return sim_->controller(deviceId - 1); }

    QStringList at(int deviceId) const
    {
        return {QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QString::number(deviceId)};
    }
    // A restore that waits nothing after deleting the cards and looks up to card 40.
    QStringList restoreOf(int deviceId, const QString &folder) const
    {
        return at(deviceId) + QStringList{QStringLiteral("restore"),     folder,
                                          QStringLiteral("--settle-ms"), QStringLiteral("0"),
                                          QStringLiteral("--check-to"),  QStringLiteral("40")};
    }
    // A backup of cards `from` to 20 into the folder `name`; the folder, or nothing when it
    // failed.
    QString backupOf(int deviceId, const QString &name, int from = 1)
    {
        const QString folder = dir_.filePath(name);
        const Run r =
            RunCtl(at(deviceId) + QStringList{QStringLiteral("backup"), folder,
                                              QStringLiteral("--from"), QString::number(from),
                                              QStringLiteral("--to"), QStringLiteral("20")});
        if (r.exitCode != 0)
            qWarning("%s%s", r.out.constData(), r.err.constData());
        return r.exitCode == 0 ? folder : QString();
    }
    void resetCards(int deviceId)
    {
        controller(deviceId).modify([deviceId](ControllerData &d) {
            d.cards = cardsOf(deviceId, 4 + deviceId);
            return true;
        });
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        SimulatorConfig config;
        config.tcpPort = 0;
        for (int id = 1; id <= 2; ++id) {
            ControllerData data = ControllerData::factory(id);
            data.serialNumber = QByteArray::number(30000000 + id);
            data.cards = cardsOf(id, 4 + id);
            config.controllers << data;
        }
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
    }

    void cleanup()
    {
        sim_->clearFaults();
        resetCards(1);
        resetCards(2);
    }

    // The backup names its controller and the card numbers it read, and its files are the
    // ones the record describes.
    void aBackupRecordsItsController()
    {
        const QString folder = backupOf(1, QStringLiteral("recorded"));
        QVERIFY(!folder.isEmpty());
        const QJsonObject record =
            QJsonDocument::fromJson(readFile(QDir(folder).filePath(RecordFile))).object();
        QCOMPARE(record.value(QStringLiteral("serialNumber")).toString(),
                 QStringLiteral("30000001"));
        QCOMPARE(record.value(QStringLiteral("version")).toString(),
                 QString::fromLatin1(controller(1).snapshot().versionText));
        QCOMPARE(record.value(QStringLiteral("cardsFrom")).toInt(), 1);
        QCOMPARE(record.value(QStringLiteral("cardsTo")).toInt(), 20);
        QCOMPARE(record.value(QStringLiteral("cards")).toInt(), 5);
        QStringList files =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        files.sort();
        QCOMPARE(files, QStringList({CardFile, ParameterFile, RecordFile}));
    }

    // A backup says what it did and nothing of the options of a restore.
    void aBackupPrintsOnlyItsOwnLines()
    {
        const Run r = RunCtl(at(1) + QStringList{QStringLiteral("backup"),
                                                 dir_.filePath(QStringLiteral("quiet")),
                                                 QStringLiteral("--to"), QStringLiteral("20")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(!r.err.contains("option not defined"), r.err.constData());
        QVERIFY2(r.out.startsWith("OK!"), r.out.constData());
    }

    // A folder that cannot be made: both halves name why nothing was saved.
    void aFolderThatCannotBeMadeIsNamedForBothHalves()
    {
        const Run r = RunCtl(
            at(1) + QStringList{QStringLiteral("backup"), QStringLiteral("/proc/kt480-none")});
        QCOMPARE(r.exitCode, 1);
        for (const char *half : {"Parameters: ", "Cards: "})
            QVERIFY2(r.out.contains(QByteArray(half) +
                                    "/proc/kt480-none: cannot create the folder; nothing was read"),
                     r.out.constData());
    }

    // A backup killed while it moved its files into the folder left some of them waiting in
    // .backup.installing: the next run moves them in before it looks at the folder, and the
    // restore takes the new backup whole. The user's other files stay.
    void aHalfMovedBackupIsFinishedByTheNextRun()
    {
        const QString older = backupOf(1, QStringLiteral("half"));
        QVERIFY(!older.isEmpty());
        QVERIFY(WriteTextFile(QDir(older).filePath(QStringLiteral("notes.txt")), "kept"));
        controller(1).modify([](ControllerData &d) {
            d.cards.remove(5);
            return true;
        });
        const QString newer = backupOf(1, QStringLiteral("half-new"));
        QVERIFY(!newer.isEmpty());
        // The record and the parameter file moved in, the card file still waiting.
        const QDir waiting(QDir(older).filePath(QStringLiteral(".backup.installing")));
        QVERIFY(QDir().mkpath(waiting.path()));
        for (const QString &name : {RecordFile, ParameterFile})
            QVERIFY(QFile::remove(QDir(older).filePath(name)) &&
                    QFile::copy(QDir(newer).filePath(name), QDir(older).filePath(name)));
        QVERIFY(QFile::copy(QDir(newer).filePath(CardFile), waiting.filePath(CardFile)));

        resetCards(1);
        const Run r = RunCtl(restoreOf(1, older));
        QVERIFY2(r.exitCode == 0, (r.out + r.err).constData());
        QVERIFY(!waiting.exists());
        for (const QString &name : {RecordFile, ParameterFile, CardFile})
            QVERIFY2(readFile(QDir(older).filePath(name)) == readFile(QDir(newer).filePath(name)),
                     qPrintable(name));
        QCOMPARE(controller(1).snapshot().cards, cardsOf(1, 4));
        QCOMPARE(readFile(QDir(older).filePath(QStringLiteral("notes.txt"))), QByteArray("kept"));
    }

    // Controller B backed up over A's folder, with B's card read failing: A's pair and record
    // stay as they were; B's parameters never stand beside A's cards.
    void anIncompleteBackupLeavesTheEarlierPairWhole()
    {
        const QString folder = backupOf(1, QStringLiteral("shared"));
        QVERIFY(!folder.isEmpty());
        QList<QByteArray> earlier;
        for (const QString &name : {ParameterFile, CardFile, RecordFile})
            earlier << readFile(QDir(folder).filePath(name));

        // B's parameters differ from A's, so that a parameter file of B would show.
        controller(2).modify([](ControllerData &d) {
            d.parameters["AF13"] = "55";
            return true;
        });
        FaultSettings refuses;
        refuses.errorCodes.insert("HB", 'C');
        sim_->setControllerFaults(1, refuses);
        const Run r = RunCtl(at(2) + QStringList{QStringLiteral("backup"), folder,
                                                 QStringLiteral("--to"), QStringLiteral("20")});
        QCOMPARE(r.exitCode, 1);
        int i = 0;
        for (const QString &name : {ParameterFile, CardFile, RecordFile})
            QVERIFY2(readFile(QDir(folder).filePath(name)) == earlier[i++], qPrintable(name));
        QVERIFY2(r.out.contains("what was read is in "), r.out.constData());
        QVERIFY(r.out.contains("were left as they were"));

        // A's restore into A still goes, untouched by B.
        QCOMPARE(RunCtl(restoreOf(1, folder)).exitCode, 0);
    }

    // A card above the range the backup read (and one below it) would be deleted by the
    // restore: it is named, the restore refuses, the dry run of a plain restore changes
    // nothing; --force restores and says what it deleted.
    void cardsOutsideTheBackupAreNamedAndProtected()
    {
        const QString folder = backupOf(1, QStringLiteral("outside"), 2);
        QVERIFY(!folder.isEmpty());
        controller(1).modify([](ControllerData &d) {
            d.cards[30] = EncodedCardRecord("0000000000003030", 1, 0, "XXXX", 0);
            return true;
        });
        const quint64 before = controller(1).revision();
        Run r = RunCtl(QStringList{QStringLiteral("--json")} + restoreOf(1, folder));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(controller(1).revision(), before);
        QCOMPARE(r.json().value(QStringLiteral("outsideCards")).toArray(), QJsonArray({1, 30}));
        r = RunCtl(restoreOf(1, folder));
        QVERIFY2(r.out.contains("holds 2 cards outside the numbers 2 to 20 that the backup "
                                "read: 1, 30"),
                 r.out.constData());
        QVERIFY(r.out.contains("nothing was written to the controller"));

        r = RunCtl(restoreOf(1, folder) + QStringList{QStringLiteral("--force")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("Restored although"), r.out.constData());
        QMap<int, QByteArray> expected = cardsOf(1, 5);
        expected.remove(1);
        QCOMPARE(controller(1).snapshot().cards, expected);
    }

    // restore --sync writes only the numbers of the backup's range that differ, never deletes
    // every card, and leaves the cards outside the range as they are (no --force needed).
    void aSyncedRestoreWritesOnlyWhatDiffers()
    {
        const QString folder = backupOf(1, QStringLiteral("synced"), 2);
        QVERIFY(!folder.isEmpty());
        const QMap<int, QByteArray> backedUp = cardsOf(1, 5);
        controller(1).modify([](ControllerData &d) {
            d.cards[3] = EncodedCardRecord("0000000000009999", 1, 0, "XXXX", 0);
            d.cards[7] = EncodedCardRecord("0000000000007777", 1, 0, "XXXX", 0);
            d.cards[30] = EncodedCardRecord("0000000000003030", 1, 0, "XXXX", 0);
            return true;
        });
        const QString trace = dir_.filePath(QStringLiteral("sync-trace.txt"));
        const Run r = RunCtl(QStringList{QStringLiteral("--trace"), trace} + restoreOf(1, folder) +
                             QStringList{QStringLiteral("--sync")});
        QVERIFY2(r.exitCode == 0, (r.out + r.err).constData());
        QVERIFY2(r.out.contains("no card was deleted first"), r.out.constData());
        const QByteArray sent = readFile(trace);
        QVERIFY(sent.contains("[0001HA"));
        QVERIFY(!sent.contains("[0001HK"));
        QMap<int, QByteArray> expected = backedUp;
        expected.insert(30, EncodedCardRecord("0000000000003030", 1, 0, "XXXX", 0));
        QCOMPARE(controller(1).snapshot().cards, expected);
    }

    // A backup that does not say which numbers it read is taken to hold 1 to 10500, and the
    // restore says so.
    void anOlderBackupIsTakenForTheDefaultRange()
    {
        const QString folder = backupOf(1, QStringLiteral("older"));
        QVERIFY(!folder.isEmpty());
        QVERIFY(QFile::remove(QDir(folder).filePath(RecordFile)));
        controller(1).modify([](ControllerData &d) {
            d.cards[10550] = EncodedCardRecord("0000000000010550", 1, 0, "XXXX", 0);
            return true;
        });
        const quint64 before = controller(1).revision();
        const Run r =
            RunCtl(at(1) + QStringList{QStringLiteral("restore"), folder,
                                       QStringLiteral("--settle-ms"), QStringLiteral("0"),
                                       QStringLiteral("--check-to"), QStringLiteral("10560")});
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(controller(1).revision(), before);
        QVERIFY2(r.out.contains("outside the numbers 1 to 10500 that the backup read: 10550"),
                 r.out.constData());
        QVERIFY(r.out.contains("the numbers 1 to 10500 are taken"));
    }

    // A card file that does not load: not one parameter is written before that is known.
    void aBrokenCardFileWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("cardFile");
        QTest::newRow("not a data packet") << QByteArray("<broken");
        QTest::newRow("invalid row") << QByteArray();
    }

    void aBrokenCardFileWritesNothing()
    {
        QFETCH(QByteArray, cardFile);
        const QString folder = backupOf(1, QStringLiteral("broken-") + QTest::currentDataTag());
        QVERIFY(!folder.isEmpty());
        // An older backup (no record), so that only the files themselves are checked.
        QVERIFY(QFile::remove(QDir(folder).filePath(RecordFile)));
        const QString cards = QDir(folder).filePath(CardFile);
        QByteArray text = readFile(cards);
        text = cardFile.isEmpty() ? text.replace("DataNO=\"0000002\"", "DataNO=\"2x\"") : cardFile;
        QVERIFY(WriteTextFile(cards, text));
        controller(1).modify([](ControllerData &d) {
            d.parameters["AF13"] = "77";
            return true;
        });
        const quint64 before = controller(1).revision();
        const Run r = RunCtl(restoreOf(1, folder));
        QCOMPARE(r.exitCode, 1);
        QCOMPARE(controller(1).revision(), before);
        QVERIFY2(r.out.contains("nothing was written to the controller"), r.out.constData());
    }

    // The other controller's card file put beside this one's record: refused.
    void filesTheRecordDoesNotDescribeAreRefused()
    {
        const QString one = backupOf(1, QStringLiteral("mixed"));
        const QString two = backupOf(2, QStringLiteral("mixed-two"));
        QVERIFY(!one.isEmpty() && !two.isEmpty());
        QVERIFY(QFile::remove(QDir(one).filePath(CardFile)));
        QVERIFY(QFile::copy(QDir(two).filePath(CardFile), QDir(one).filePath(CardFile)));
        const quint64 before = controller(1).revision();
        const Run r = RunCtl(restoreOf(1, one));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("is not the file that controller.json describes"),
                 r.out.constData());
        QCOMPARE(controller(1).revision(), before);
    }

    // Card numbers go out in the form of the controller's version: without the serial number
    // or the version, nothing is written.
    void noWriteToAnUnknownController_data()
    {
        QTest::addColumn<QByteArray>("silent");
        QTest::addColumn<bool>("cardsWrite");
        QTest::addColumn<QByteArray>("named");
        QTest::newRow("restore, no version") << QByteArray("DB") << false << QByteArray("(DB)");
        QTest::newRow("restore, no serial") << QByteArray("AS") << false << QByteArray("(AS)");
        QTest::newRow("cards write, no version") << QByteArray("DB") << true << QByteArray("(DB)");
        QTest::newRow("cards write, no serial") << QByteArray("AS") << true << QByteArray("(AS)");
    }

    void noWriteToAnUnknownController()
    {
        QFETCH(QByteArray, silent);
        QFETCH(bool, cardsWrite);
        QFETCH(QByteArray, named);
        const QString folder = backupOf(1, QStringLiteral("unknown-") + QTest::currentDataTag());
        QVERIFY(!folder.isEmpty());
        FaultSettings faults;
        faults.silentCodes.insert(silent);
        sim_->setControllerFaults(0, faults);
        const quint64 before = controller(1).revision();
        const Run r = RunCtl(cardsWrite ? at(1) + QStringList{QStringLiteral("cards"),
                                                              QStringLiteral("write"),
                                                              QDir(folder).filePath(CardFile)}
                                        : restoreOf(1, folder));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(named), r.err.constData());
        QCOMPARE(controller(1).revision(), before);
    }
};

QTEST_GUILESS_MAIN(TestBackupCli)
#include "test_backup_cli.moc"
