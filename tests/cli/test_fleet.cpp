// kt480ctl fleet as an installer runs it: a site file, a folder, several simulated controllers
// at once over TCP and one RS-485 line, some of them failing.
#include "CtlRun.h"
#include "SimulatorHost.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject controllerNamed(const QJsonObject &summary, const QString &name)
{
    for (const QJsonValue &value : summary.value(QStringLiteral("controllers")).toArray()) {
        if (value.toObject().value(QStringLiteral("name")).toString() == name)
            return value.toObject();
    }
    return {};
}

// Cards 1..count, every ID marked with the controller so that no two controllers hold the same.
QMap<int, QByteArray> cardsOf(int deviceId, int count)
{
    QMap<int, QByteArray> cards;
    for (int n = 1; n <= count; ++n)
        cards.insert(
            n, EncodedCardRecord(QByteArray::number(deviceId * 100000 + n).rightJustified(16, '0'),
                                 1, 0, "XXXX", 0));
    return cards;
}

// The controllers' names in the order their lines appear in a trace, each run of lines once,
// leaving out `others`; empty when no frame was traced.
QStringList traceOrder(const QString &trace, const QStringList &others = {})
{
    QStringList order;
    bool sawFrame = false;
    for (const QByteArray &text : readFile(trace).split('\n')) {
        const QList<QByteArray> words = text.split(' ');
        if (words.size() < 4)
            continue;
        const QString name = QString::fromUtf8(words[2]);
        if (others.contains(name))
            continue;
        sawFrame = sawFrame || (words[3] == "tx" && words.value(4) == "01");
        if (order.isEmpty() || order.last() != name)
            order << name;
    }
    return sawFrame ? order : QStringList();
}

} // namespace

class TestFleet : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatorHost> sim_;
    QTemporaryDir dir_;
    QString port_;

    QString site(const QString &name, const QString &rows)
    {
        const QString path = dir_.filePath(name);
        WriteTextFile(path, "name,transport,address,port,id\n" + rows.arg(port_).toUtf8());
        return path;
    }
    QString folder(const QString &name) const { return dir_.filePath(name); }
    ControllerState &controller(int deviceId) { return sim_->controller(deviceId - 1); }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        SimulatorConfig config;
        config.tcpPort = 0;
        config.serial = true;
        for (int id = 1; id <= 4; ++id) {
            ControllerData data = ControllerData::factory(id);
            data.serialNumber = QByteArray::number(20000000 + id);
            data.cards = cardsOf(id, 10 + id);
            config.controllers << data;
        }
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        port_ = QString::number(sim_->tcpPort());
    }

    // One controller that never answers: the others are backed up all the same, the summary
    // names the one that failed, and the run fails.
    void backupGoesOnPastASilentController()
    {
        const QString path =
            site(QStringLiteral("site.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,1\n"
                                                            "silent,tcp,127.0.0.1,%1,9\n"
                                                            "south,tcp,127.0.0.1,%1,2\n"
                                                            "east,tcp,127.0.0.1,%1,3\n"));
        const QString out = folder(QStringLiteral("backup"));
        Run r = RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                        QStringLiteral("--to"), QStringLiteral("20")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("failed: silent\n"), r.out.constData());
        QVERIFY(r.out.contains("silent: no answer to the serial-number read (AS)"));
        QVERIFY(r.out.contains("3 of 4 controllers backed up"));
        for (const char *name : {"north", "south", "east"}) {
            const QDir d(QDir(out).filePath(QLatin1String(name)));
            QVERIFY(d.exists(QStringLiteral("KT480NT-V5_Parameter.xml")));
            QVERIFY(d.exists(QStringLiteral("KT480NT-V5_CardData.xml")));
            QVERIFY(d.exists(QStringLiteral("controller.json")));
        }
        QVERIFY(!QDir(out).exists(QStringLiteral("silent/controller.json")));
        const QJsonObject record =
            QJsonDocument::fromJson(
                readFile(QDir(out).filePath(QStringLiteral("south/controller.json"))))
                .object();
        QCOMPARE(record.value(QStringLiteral("serialNumber")).toString(),
                 QStringLiteral("20000002"));
        QCOMPARE(record.value(QStringLiteral("cards")).toInt(), 12);

        r = RunCtl({QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("backup"),
                    path, out, QStringLiteral("--to"), QStringLiteral("20"),
                    QStringLiteral("--jobs"), QStringLiteral("2")});
        QCOMPARE(r.exitCode, 1);
        const QJsonObject summary = r.json();
        QCOMPARE(summary.value(QStringLiteral("succeeded")).toInt(), 3);
        QCOMPARE(summary.value(QStringLiteral("failed")).toInt(), 1);
        const QJsonObject east = controllerNamed(summary, QStringLiteral("east"));
        QVERIFY(east.value(QStringLiteral("complete")).toBool());
        QCOMPARE(east.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("20000003"));
        QCOMPARE(east.value(QStringLiteral("cards")).toInt(), 13);
        QVERIFY(!controllerNamed(summary, QStringLiteral("silent"))
                     .value(QStringLiteral("complete"))
                     .toBool(true));
    }

    // A restore: one controller silent, one refusing card writes; the others are restored.
    void restoreGoesOnPastRefusalsAndSilence()
    {
        const QString path =
            site(QStringLiteral("restore.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,1\n"
                                                               "south,tcp,127.0.0.1,%1,2\n"
                                                               "east,tcp,127.0.0.1,%1,3\n"));
        const QString out = folder(QStringLiteral("restore"));
        QCOMPARE(RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                         QStringLiteral("--to"), QStringLiteral("20")})
                     .exitCode,
                 0);
        // The backup of a controller that has since gone quiet.
        QVERIFY(QDir(out).mkpath(QStringLiteral("silent")));
        for (const char *file :
             {"KT480NT-V5_Parameter.xml", "KT480NT-V5_CardData.xml", "controller.json"})
            QVERIFY(
                QFile::copy(QDir(out).filePath(QStringLiteral("north/") + QLatin1String(file)),
                            QDir(out).filePath(QStringLiteral("silent/") + QLatin1String(file))));
        const QString withSilent =
            site(QStringLiteral("restore-silent.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,1\n"
                                                                      "silent,tcp,127.0.0.1,%1,9\n"
                                                                      "south,tcp,127.0.0.1,%1,2\n"
                                                                      "east,tcp,127.0.0.1,%1,3\n"));
        for (int id : {1, 2, 3})
            controller(id).modify([](ControllerData &d) {
                d.cards.clear();
                return true;
            });
        FaultSettings refuses;
        refuses.errorCodes.insert("HA", 'C');
        refuses.errorCodes.insert("HK", 'C');
        sim_->setControllerFaults(1, refuses);
        const Run r =
            RunCtl({QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("restore"),
                    withSilent, out, QStringLiteral("--settle-ms"), QStringLiteral("0"),
                    QStringLiteral("--check-to"), QStringLiteral("40")});
        sim_->clearFaults();
        QCOMPARE(r.exitCode, 1);
        const QJsonObject summary = r.json();
        QCOMPARE(summary.value(QStringLiteral("succeeded")).toInt(), 2);
        const QJsonObject south = controllerNamed(summary, QStringLiteral("south"));
        QVERIFY(!south.value(QStringLiteral("complete")).toBool(true));
        QVERIFY(south.value(QStringLiteral("failures"))
                    .toArray()
                    .first()
                    .toString()
                    .startsWith(QLatin1String("cards: ")));
        QVERIFY(!controllerNamed(summary, QStringLiteral("silent"))
                     .value(QStringLiteral("complete"))
                     .toBool(true));
        QCOMPARE(controller(1).snapshot().cards, cardsOf(1, 11));
        QCOMPARE(controller(3).snapshot().cards, cardsOf(3, 13));
        QVERIFY(controller(2).snapshot().cards.isEmpty());
        controller(2).modify([](ControllerData &d) {
            d.cards = cardsOf(2, 12);
            return true;
        });
    }

    // The folder of one controller restored into another: refused, nothing written; with
    // --force it is written.
    void restoreChecksTheSerialNumber()
    {
        const QString path =
            site(QStringLiteral("one.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,1\n"));
        const QString out = folder(QStringLiteral("serial"));
        QCOMPARE(RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                         QStringLiteral("--to"), QStringLiteral("20")})
                     .exitCode,
                 0);
        const QString moved =
            site(QStringLiteral("moved.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,4\n"));
        const quint64 before = controller(4).revision();
        const QStringList restore{QStringLiteral("fleet"),
                                  QStringLiteral("restore"),
                                  moved,
                                  out,
                                  QStringLiteral("--settle-ms"),
                                  QStringLiteral("0"),
                                  QStringLiteral("--check-to"),
                                  QStringLiteral("40")};
        Run r = RunCtl(restore);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("serial number 20000004 is not the 20000001 of the backup"),
                 r.out.constData());
        QCOMPARE(controller(4).revision(), before);

        // Without its record a folder cannot be checked: refused too.
        QVERIFY(QFile::remove(QDir(out).filePath(QStringLiteral("north/controller.json"))));
        r = RunCtl(restore);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.contains("controller.json"));
        QCOMPARE(controller(4).revision(), before);

        r = RunCtl(restore + QStringList{QStringLiteral("--force")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(controller(4).snapshot().cards, cardsOf(1, 11));
        controller(4).modify([](ControllerData &d) {
            d.cards = cardsOf(4, 14);
            return true;
        });
    }

    // A backup that cannot read the cards after its parameters were read replaces no file of the
    // earlier complete backup: otherwise the folder's record would vouch for a new parameter
    // file beside an old card file. What was read is kept apart, without a record.
    void anIncompleteBackupLeavesTheEarlierOneWhole()
    {
        const QString path =
            site(QStringLiteral("again.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,1\n"));
        const QString out = folder(QStringLiteral("again"));
        const QStringList backup{QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                                 QStringLiteral("--to"),  QStringLiteral("5")};
        QCOMPARE(RunCtl(backup).exitCode, 0);
        const QDir north(QDir(out).filePath(QStringLiteral("north")));
        const QStringList files{QStringLiteral("KT480NT-V5_Parameter.xml"),
                                QStringLiteral("KT480NT-V5_CardData.xml"),
                                QStringLiteral("controller.json")};
        QList<QByteArray> earlier;
        for (const QString &file : files)
            earlier << readFile(north.filePath(file));

        const QByteArray parameter = controller(1).snapshot().parameters.value("AF13");
        controller(1).modify([](ControllerData &d) {
            d.parameters["AF13"] = "77";
            return true;
        });
        FaultSettings refuses;
        refuses.errorCodes.insert("HB", 'C');
        sim_->setControllerFaults(0, refuses);
        const Run r = RunCtl(backup);
        sim_->clearFaults();
        controller(1).modify([parameter](ControllerData &d) {
            d.parameters["AF13"] = parameter;
            return true;
        });

        QCOMPARE(r.exitCode, 1);
        for (int i = 0; i < files.size(); ++i)
            QVERIFY2(readFile(north.filePath(files[i])) == earlier[i], qPrintable(files[i]));
        const QStringList kept = QDir(out).entryList({QStringLiteral("north.incomplete-*")},
                                                     QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(kept.size(), 1);
        const QDir partial(QDir(out).filePath(kept.first()));
        QVERIFY(partial.exists(QStringLiteral("KT480NT-V5_Parameter.xml")));
        QVERIFY(!partial.exists(QStringLiteral("controller.json")));
        QVERIFY2(r.out.contains("north: what was read is in " +
                                QDir(out).filePath(kept.first()).toUtf8()),
                 r.out.constData());
    }

    // The dry run reads and compares; the controller is exactly as it was.
    void dryRunShowsChangesAndChangesNothing()
    {
        const QString path =
            site(QStringLiteral("dry.csv"), QStringLiteral("east,tcp,127.0.0.1,%1,3\n"
                                                           "west,tcp,127.0.0.1,%1,4\n"));
        const QString out = folder(QStringLiteral("dry"));
        QCOMPARE(RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                         QStringLiteral("--to"), QStringLiteral("20")})
                     .exitCode,
                 0);
        // Since the backup: card 2 gone, card 5 changed, card 30 added, a parameter changed.
        controller(3).modify([](ControllerData &d) {
            d.cards.remove(2);
            d.cards[5] = EncodedCardRecord("0000000000000555", 2, 1, "1234", 1);
            d.cards[30] = EncodedCardRecord("0000000000003030", 1, 0, "XXXX", 0);
            d.parameters["AF13"] = "99";
            return true;
        });
        const ControllerData east = controller(3).snapshot();
        const ControllerData west = controller(4).snapshot();
        const quint64 eastRevision = controller(3).revision();
        const quint64 westRevision = controller(4).revision();

        Run r =
            RunCtl({QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("restore"),
                    path, out, QStringLiteral("--dry-run"), QStringLiteral("--to"),
                    QStringLiteral("40"), QStringLiteral("--check-to"), QStringLiteral("40")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(controller(3).revision(), eastRevision);
        QCOMPARE(controller(4).revision(), westRevision);
        QCOMPARE(controller(3).snapshot(), east);
        QCOMPARE(controller(4).snapshot(), west);

        const QJsonObject summary = r.json();
        QCOMPARE(summary.value(QStringLiteral("action")).toString(), QStringLiteral("dry-run"));
        const QJsonObject counts = controllerNamed(summary, QStringLiteral("east"))
                                       .value(QStringLiteral("counts"))
                                       .toObject();
        QCOMPARE(counts.value(QStringLiteral("added")).toInt(), 1);   // card 2 back
        QCOMPARE(counts.value(QStringLiteral("removed")).toInt(), 1); // card 30 gone
        QCOMPARE(counts.value(QStringLiteral("changed")).toInt(), 1); // card 5 as it was
        QCOMPARE(counts.value(QStringLiteral("unchanged")).toInt(), 11);
        QCOMPARE(counts.value(QStringLiteral("failed")).toInt(), 0);
        QCOMPARE(counts.value(QStringLiteral("parametersChanged")).toInt(), 1);
        const QJsonObject parameter = controllerNamed(summary, QStringLiteral("east"))
                                          .value(QStringLiteral("parameterChanges"))
                                          .toArray()
                                          .first()
                                          .toObject();
        QCOMPARE(parameter.value(QStringLiteral("code")).toString(), QStringLiteral("AF13"));
        QCOMPARE(parameter.value(QStringLiteral("from")).toString(), QStringLiteral("99"));
        const QJsonObject westCounts = controllerNamed(summary, QStringLiteral("west"))
                                           .value(QStringLiteral("counts"))
                                           .toObject();
        QCOMPARE(westCounts.value(QStringLiteral("unchanged")).toInt(), 14);
        QCOMPARE(westCounts.value(QStringLiteral("added")).toInt() +
                     westCounts.value(QStringLiteral("removed")).toInt() +
                     westCounts.value(QStringLiteral("changed")).toInt() +
                     westCounts.value(QStringLiteral("parametersChanged")).toInt(),
                 0);

        r = RunCtl({QStringLiteral("fleet"), QStringLiteral("restore"), path, out,
                    QStringLiteral("--dry-run"), QStringLiteral("--to"), QStringLiteral("40"),
                    QStringLiteral("--check-to"), QStringLiteral("40")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("changed 0000005 DataID 0000000000000555 -> 0000000000300005"),
                 r.out.constData());
        QVERIFY(r.out.contains("parameter AF13 99 -> "));
        QCOMPARE(controller(3).revision(), eastRevision);

        // A controller that was never compared shows no counts, not "nothing would change".
        const QString ghost =
            site(QStringLiteral("ghost.csv"), QStringLiteral("ghost,tcp,127.0.0.1,%1,3\n"));
        r = RunCtl({QStringLiteral("fleet"), QStringLiteral("restore"), ghost, out,
                    QStringLiteral("--dry-run")});
        QCOMPARE(r.exitCode, 1);
        static const QRegularExpression noCounts(QStringLiteral("\\nghost( +-){7} +FAILED\\n"));
        QVERIFY2(QString::fromUtf8(r.out).contains(noCounts), r.out.constData());
        r = RunCtl({QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("restore"),
                    ghost, out, QStringLiteral("--dry-run")});
        const QJsonObject ghostCounts = controllerNamed(r.json(), QStringLiteral("ghost"))
                                            .value(QStringLiteral("counts"))
                                            .toObject();
        QVERIFY(ghostCounts.value(QStringLiteral("unchanged")).isNull());
        QVERIFY(ghostCounts.value(QStringLiteral("parametersChanged")).isNull());
    }

    // A card above the range the backup read would be deleted by the restore, unseen: the dry
    // run counts and names it, the restore refuses, and --force restores.
    void cardsOutsideTheBackupAreNamedBeforeARestore()
    {
        const QString path =
            site(QStringLiteral("outside.csv"), QStringLiteral("east,tcp,127.0.0.1,%1,3\n"));
        const QString out = folder(QStringLiteral("outside"));
        controller(3).modify([](ControllerData &d) {
            d.cards = cardsOf(3, 13);
            return true;
        });
        QCOMPARE(RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                         QStringLiteral("--to"), QStringLiteral("20")})
                     .exitCode,
                 0);
        const QMap<int, QByteArray> backedUp = controller(3).snapshot().cards;
        controller(3).modify([](ControllerData &d) {
            d.cards[35] = EncodedCardRecord("0000000000003535", 1, 0, "XXXX", 0);
            return true;
        });
        const quint64 before = controller(3).revision();
        const QStringList restore{QStringLiteral("fleet"),
                                  QStringLiteral("restore"),
                                  path,
                                  out,
                                  QStringLiteral("--settle-ms"),
                                  QStringLiteral("0"),
                                  QStringLiteral("--check-to"),
                                  QStringLiteral("40")};

        Run r =
            RunCtl({QStringLiteral("--json"), QStringLiteral("fleet"), QStringLiteral("restore"),
                    path, out, QStringLiteral("--dry-run"), QStringLiteral("--to"),
                    QStringLiteral("20"), QStringLiteral("--check-to"), QStringLiteral("40")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject east = controllerNamed(r.json(), QStringLiteral("east"));
        QCOMPARE(east.value(QStringLiteral("counts"))
                     .toObject()
                     .value(QStringLiteral("removed"))
                     .toInt(),
                 1);
        QCOMPARE(east.value(QStringLiteral("outsideCards")).toArray(), QJsonArray({35}));
        QVERIFY2(east.value(QStringLiteral("notes"))
                     .toArray()
                     .contains(QStringLiteral("cards: the controller holds 1 card outside the "
                                              "numbers 1 to 20 that the backup read: 35; a "
                                              "restore deletes it, and refuses unless --force")),
                 r.out.constData());
        QCOMPARE(controller(3).revision(), before);

        r = RunCtl(restore);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("holds 1 card outside the numbers 1 to 20 that the backup "
                                "read: 35"),
                 r.out.constData());
        QCOMPARE(controller(3).revision(), before);

        // A restore by sync deletes nothing outside the range, so it needs no --force: card 2,
        // changed since the backup, is written back and card 35 stays.
        controller(3).modify([](ControllerData &d) {
            d.cards[2] = EncodedCardRecord("0000000000002222", 1, 0, "XXXX", 0);
            return true;
        });
        r = RunCtl(restore + QStringList{QStringLiteral("--sync")});
        QVERIFY2(r.exitCode == 0, r.out.constData());
        QMap<int, QByteArray> kept = backedUp;
        kept.insert(35, EncodedCardRecord("0000000000003535", 1, 0, "XXXX", 0));
        QCOMPARE(controller(3).snapshot().cards, kept);

        r = RunCtl(restore + QStringList{QStringLiteral("--force")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(controller(3).snapshot().cards, backedUp);
    }

    // Another controller where the folder's was: its backup replaces the earlier one, and the
    // result says so. A restore of a backup without cards says the controller's cards stay.
    void anotherControllerAndAnEmptyCardListAreNamed()
    {
        const QString out = folder(QStringLiteral("swapped"));
        const QString first =
            site(QStringLiteral("first.csv"), QStringLiteral("door,tcp,127.0.0.1,%1,1\n"));
        QCOMPARE(RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), first, out,
                         QStringLiteral("--to"), QStringLiteral("20")})
                     .exitCode,
                 0);
        const QString second =
            site(QStringLiteral("second.csv"), QStringLiteral("door,tcp,127.0.0.1,%1,2\n"));
        // The other controller's backup fails: the folder still holds the first one's, and
        // nothing says it was replaced.
        FaultSettings refuses;
        refuses.errorCodes.insert("HB", 'C');
        sim_->setControllerFaults(1, refuses);
        Run failed = RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), second, out,
                             QStringLiteral("--to"), QStringLiteral("20")});
        sim_->clearFaults();
        QCOMPARE(failed.exitCode, 1);
        QVERIFY2(failed.out.contains("still holds the backup of the controller with serial "
                                     "number 20000001, not this controller's (20000002)"),
                 failed.out.constData());
        QVERIFY2(!failed.out.contains("replaced"), failed.out.constData());
        const QStringList backup{QStringLiteral("--json"),
                                 QStringLiteral("fleet"),
                                 QStringLiteral("backup"),
                                 second,
                                 out,
                                 QStringLiteral("--from"),
                                 QStringLiteral("30"),
                                 QStringLiteral("--to"),
                                 QStringLiteral("40")};
        Run r = RunCtl(backup);
        QCOMPARE(r.exitCode, 0);
        const QString note = QStringLiteral("held the backup of the controller with serial number "
                                            "20000001; it is replaced by this controller's "
                                            "(20000002)");
        QVERIFY2(controllerNamed(r.json(), QStringLiteral("door"))
                     .value(QStringLiteral("notes"))
                     .toArray()
                     .first()
                     .toString()
                     .contains(note),
                 r.out.constData());
        r = RunCtl(backup.mid(1));
        QVERIFY2(!QString::fromUtf8(r.out).contains(note), r.out.constData());

        // The backup of numbers 30 to 40 holds no card: the dry run and the restore both say
        // the controller's cards stay.
        r = RunCtl({QStringLiteral("fleet"), QStringLiteral("restore"), second, out,
                    QStringLiteral("--dry-run"), QStringLiteral("--check-to"),
                    QStringLiteral("40")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("cards: the backup holds no cards; the cards the controller "
                                "holds stay as they are"),
                 r.out.constData());
        QVERIFY2(!r.out.contains("unchanged 0"), r.out.constData());
        r = RunCtl({QStringLiteral("fleet"), QStringLiteral("restore"), second, out,
                    QStringLiteral("--settle-ms"), QStringLiteral("0")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("holds no cards; the cards the controller holds stay as they "
                                "were"),
                 r.out.constData());
        QCOMPARE(controller(2).snapshot().cards, cardsOf(2, 12));
    }

    // A backup killed between moving the earlier folder aside and moving the new one in left
    // the earlier one whole beside; the next run puts it back before it looks.
    void aFolderLeftAsideIsPutBack()
    {
        const QString path =
            site(QStringLiteral("aside.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,1\n"));
        const QString out = folder(QStringLiteral("aside"));
        QCOMPARE(RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                         QStringLiteral("--to"), QStringLiteral("20")})
                     .exitCode,
                 0);
        const QString north = QDir(out).filePath(QStringLiteral("north"));
        const QByteArray record = readFile(QDir(north).filePath(QStringLiteral("controller.json")));
        QVERIFY(QDir().rename(north, north + QStringLiteral(".previous")));
        const Run r =
            RunCtl({QStringLiteral("fleet"), QStringLiteral("restore"), path, out,
                    QStringLiteral("--dry-run"), QStringLiteral("--to"), QStringLiteral("20"),
                    QStringLiteral("--check-to"), QStringLiteral("20")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readFile(QDir(north).filePath(QStringLiteral("controller.json"))), record);
        QVERIFY(!QFileInfo::exists(north + QStringLiteral(".previous")));
    }

    // Controllers on one RS-485 line take turns on it; TCP ones run beside them. A row outside
    // loopback is refused and named, the others run.
    void oneSerialLineIsWorkedInTurnAndForeignAddressesAreRefused()
    {
        const QString line = sim_->serialPath();
        const QString path = dir_.filePath(QStringLiteral("bus.csv"));
        // The line settings hold commas: a quoted cell.
        WriteTextFile(path, "name,transport,address,port,id\n"
                            "bus-a,serial," +
                                line.toUtf8() +
                                ",,1\n"
                                "bus-b,serial," +
                                line.toUtf8() +
                                ",\"19200,e,8,1\",2\n"
                                "door,tcp,127.0.0.1," +
                                port_.toUtf8() +
                                ",3\n"
                                "far,tcp,192.168.1.101,5001,1\n");
        const QString trace = dir_.filePath(QStringLiteral("bus-trace.txt"));
        const Run r =
            RunCtl({QStringLiteral("--trace"), trace, QStringLiteral("--json"),
                    QStringLiteral("fleet"), QStringLiteral("backup"), path,
                    folder(QStringLiteral("bus")), QStringLiteral("--to"), QStringLiteral("20")});
        QCOMPARE(r.exitCode, 1);
        const QJsonObject summary = r.json();
        QCOMPARE(summary.value(QStringLiteral("succeeded")).toInt(), 3);
        QVERIFY(controllerNamed(summary, QStringLiteral("far"))
                    .value(QStringLiteral("failures"))
                    .toArray()
                    .first()
                    .toString()
                    .contains(QLatin1String("KT480_LOOPBACK_ONLY")));

        // Every frame in hex under its controller's name; the line's two never interleave.
        QCOMPARE(traceOrder(trace, {QStringLiteral("door")}),
                 QStringList({QStringLiteral("bus-a"), QStringLiteral("bus-b")}));
    }

    // Device IDs at one TCP address and port are a bus behind a gateway: they take turns too,
    // while another address runs beside them.
    void oneTcpAddressIsWorkedInTurn()
    {
        const QString path =
            site(QStringLiteral("gateway.csv"), QStringLiteral("gate-a,tcp,127.0.0.1,%1,1\n"
                                                               "gate-b,tcp,127.0.0.1,%1,2\n"
                                                               "gate-c,tcp,127.0.0.1,%1,3\n"));
        const QString trace = dir_.filePath(QStringLiteral("gateway-trace.txt"));
        const Run r = RunCtl({QStringLiteral("--trace"), trace, QStringLiteral("fleet"),
                              QStringLiteral("backup"), path, folder(QStringLiteral("gateway")),
                              QStringLiteral("--to"), QStringLiteral("20")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(traceOrder(trace), QStringList({QStringLiteral("gate-a"), QStringLiteral("gate-b"),
                                                 QStringLiteral("gate-c")}));
    }

    void badSiteRowsAreUsageErrors_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QByteArray>("named");
        QTest::newRow("header") << QByteArray("name,kind,address,port,id\na,tcp,127.0.0.1,1,1\n")
                                << QByteArray("first row");
        QTest::newRow("no header") << QByteArray("a,tcp,127.0.0.1,1,1\nb,tcp,127.0.0.1,1,2\n")
                                   << QByteArray("first row must be name,transport,address");
        const QByteArray header = "name,transport,address,port,id\n";
        QTest::newRow("transport") << header + "a,ftp,127.0.0.1,1,1\n" << QByteArray("row 1");
        QTest::newRow("parent folder") << header + "..,tcp,127.0.0.1,1,1\n" << QByteArray("row 1");
        QTest::newRow("slash") << header + "a/b,tcp,127.0.0.1,1,1\n" << QByteArray("row 1");
        QTest::newRow("journal name")
            << header + "KT480NTV5-events-1.journal,tcp,127.0.0.1,1,1\n"
            << QByteArray("row 1: the name \"KT480NTV5-events-1.journal\" "
                          "is the name of an event journal");
        QTest::newRow("empty name") << header + ",tcp,127.0.0.1,1,1\n" << QByteArray("row 1");
        QTest::newRow("duplicate") << header + "a,tcp,127.0.0.1,1,1\nA,tcp,127.0.0.1,1,2\n"
                                   << QByteArray("row 2");
        QTest::newRow("port") << header + "a,tcp,127.0.0.1,70000,1\n" << QByteArray("row 1");
        QTest::newRow("id") << header + "a,tcp,127.0.0.1,1,10000\n" << QByteArray("row 1");
        QTest::newRow("no address") << header + "a,tcp,,1,1\n" << QByteArray("row 1");
        QTest::newRow("line settings") << header + "a,serial,/dev/null,\"19200,q,8,1\",1\n"
                                       << QByteArray("row 1");
        QTest::newRow("no rows") << header << QByteArray("no controller rows");
        QTest::newRow("broadcast id") << header + "a,tcp,127.0.0.1,1,0\n"
                                      << QByteArray("row 1: id 0 is the broadcast address");
        QByteArray utf16;
        for (const char c : header + "a,tcp,127.0.0.1,1,1\n")
            utf16 += QByteArray(1, c) + QByteArray(1, '\0');
        QTest::newRow("utf-16") << utf16 << QByteArray("UTF-16 text without a byte-order mark");
    }

    void badSiteRowsAreUsageErrors()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QByteArray, named);
        const QString path = dir_.filePath(QStringLiteral("bad.csv"));
        QVERIFY(WriteTextFile(path, rows));
        const QString out = folder(QStringLiteral("bad"));
        const Run r = RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains(named), r.err.constData());
        QVERIFY(!r.err.contains('\0'));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFileInfo::exists(out));
    }

    // A site file or a controller record that is a link to a device is refused before it is
    // read, as a table file is, instead of being read until memory runs out.
    void filesLinkedToADeviceAreRefused()
    {
        const QString linked = dir_.filePath(QStringLiteral("zero.csv"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), linked));
        Run r = RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), linked,
                        folder(QStringLiteral("zero"))});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("zero.csv: not a file"), r.err.constData());

        const QString path =
            site(QStringLiteral("zero-record.csv"), QStringLiteral("north,tcp,127.0.0.1,%1,1\n"));
        const QString out = folder(QStringLiteral("zero-record"));
        QCOMPARE(RunCtl({QStringLiteral("fleet"), QStringLiteral("backup"), path, out,
                         QStringLiteral("--to"), QStringLiteral("5")})
                     .exitCode,
                 0);
        const QString record = QDir(out).filePath(QStringLiteral("north/controller.json"));
        QVERIFY(QFile::remove(record));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), record));
        r = RunCtl({QStringLiteral("fleet"), QStringLiteral("restore"), path, out,
                    QStringLiteral("--dry-run"), QStringLiteral("--to"), QStringLiteral("5"),
                    QStringLiteral("--check-to"), QStringLiteral("5")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("controller.json: not a file"), r.out.constData());
    }

    // An empty DIR (an unset shell variable) is refused, not taken for the current folder.
    void anEmptyFolderIsAUsageError()
    {
        const QString path =
            site(QStringLiteral("empty-dir.csv"), QStringLiteral("here,tcp,127.0.0.1,%1,1\n"));
        QProcess p;
        p.setWorkingDirectory(dir_.path());
        p.start(QStringLiteral(KT480CTL_PATH),
                {QStringLiteral("fleet"), QStringLiteral("backup"), path, QString()});
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitCode(), 2);
        const QByteArray err = p.readAllStandardError();
        QVERIFY2(err.contains("DIR is empty"), err.constData());
        // The usage shown names the card range a dry run compares.
        QVERIFY2(err.contains("--dry-run [--jobs N] [--from N] [--to M]"), err.constData());
        QVERIFY(!QFileInfo::exists(dir_.filePath(QStringLiteral("here"))));
    }
};

QTEST_GUILESS_MAIN(TestFleet)
#include "test_fleet.moc"
