// kt480ctl cards diff and --trace as a script uses them: a real process against the simulator.
#include "CtlRun.h"
#include "SimulatorHost.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestCardsDiffCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatorHost> sim_;
    QString tcp_;
    QTemporaryDir dir_;

    // A card file from CSV text, through the program's own conversion.
    QString cardFile(const QString &name, const QByteArray &rows)
    {
        const QString csv = dir_.filePath(name + QStringLiteral(".csv"));
        const QString xml = dir_.filePath(name + QStringLiteral(".xml"));
        WriteTextFile(csv, "DataNO,DataID,DataApp,DataType,DataPIN,DataAPB\n" + rows);
        return RunCtl({QStringLiteral("file"), QStringLiteral("convert"), csv, xml}).exitCode == 0
                   ? xml
                   : QString();
    }

private slots:
    void initTestCase()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        ControllerData data = ControllerData::factory(1);
        data.cards = GeneratedCards(3);
        config.controllers = {data};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
    }

    void twoFilesNeedNoController()
    {
        const QString a = cardFile(QStringLiteral("a"), "0000001,11,01,0,XXXX,0\n"
                                                        "0000002,22,01,0,XXXX,0\n");
        const QString b = cardFile(QStringLiteral("b"), "1,11,1,0,,0\n"
                                                        "0000002,22,01,0,1234,0\n"
                                                        "0000009,99,01,0,XXXX,0\n");
        // As diff(1): 1 when the two sides differ, 0 when they are the same.
        Run r = RunCtl({QStringLiteral("cards"), QStringLiteral("diff"), a, b});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("added   0000009 ID 0000000000000099"), r.out.constData());
        QVERIFY(r.out.contains("changed 0000002 DataPIN XXXX -> 1234"));
        QVERIFY(r.out.contains("unchanged 1, added 1, removed 0, changed 1"));

        r = RunCtl(
            {QStringLiteral("--json"), QStringLiteral("cards"), QStringLiteral("diff"), b, a});
        QCOMPARE(r.exitCode, 1);
        const QJsonObject o = r.json();
        QCOMPARE(o.value(QStringLiteral("identical")), QJsonValue(false));
        QCOMPARE(o.value(QStringLiteral("removed")).toArray().size(), 1);
        QCOMPARE(o.value(QStringLiteral("changed"))
                     .toArray()
                     .first()
                     .toObject()
                     .value(QStringLiteral("fields"))
                     .toArray()
                     .first()
                     .toObject()
                     .value(QStringLiteral("to"))
                     .toString(),
                 QStringLiteral("XXXX"));

        r = RunCtl(
            {QStringLiteral("--json"), QStringLiteral("cards"), QStringLiteral("diff"), a, a});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json().value(QStringLiteral("identical")), QJsonValue(true));

        r = RunCtl({QStringLiteral("cards"), QStringLiteral("diff"), a,
                    dir_.filePath(QStringLiteral("missing.xml"))});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("missing.xml"));
        r = RunCtl({QStringLiteral("cards"), QStringLiteral("diff"), a});
        QCOMPARE(r.exitCode, 2);
    }

    // Against the controller: its cards are read, compared and left alone; a card of the file
    // beyond the range read is read as well.
    void fileAgainstTheController()
    {
        const QString file =
            cardFile(QStringLiteral("site"), "0000001,0000003000000007,02,1,XXXX,0\n"
                                             "0000002,5,01,0,XXXX,0\n"
                                             "0000500,5,01,0,XXXX,0\n");
        const quint64 revision = sim_->controller().revision();
        const Run r = RunCtl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"),
                              QStringLiteral("cards"), QStringLiteral("diff"), file,
                              QStringLiteral("--to"), QStringLiteral("10")});
        QCOMPARE(r.exitCode, 1);
        const QJsonObject o = r.json();
        QCOMPARE(o.value(QStringLiteral("identical")), QJsonValue(false));
        QCOMPARE(o.value(QStringLiteral("unchanged")).toInt(), 1);
        QCOMPARE(o.value(QStringLiteral("changed")).toArray().size(), 1);
        QCOMPARE(o.value(QStringLiteral("removed")).toArray().size(), 1); // card 3
        const QJsonArray added = o.value(QStringLiteral("added")).toArray();
        QCOMPARE(added.size(), 1);
        QCOMPARE(added.first().toObject().value(QStringLiteral("DataNO")).toString(),
                 QStringLiteral("0000500"));
        QCOMPARE(sim_->controller().revision(), revision);
    }

    // A card file of what the controller holds is identical to it, exit 0; once a number cannot
    // be read the two are no longer known to be the same: never identical while incomplete.
    void identicalOnlyWhenEveryNumberWasRead()
    {
        const QString held = dir_.filePath(QStringLiteral("held.xml"));
        const QStringList link{QStringLiteral("--tcp"), tcp_, QStringLiteral("--json")};
        QCOMPARE(RunCtl(link + QStringList{QStringLiteral("cards"), QStringLiteral("read"),
                                           QStringLiteral("--to"), QStringLiteral("10"),
                                           QStringLiteral("--out"), held})
                     .exitCode,
                 0);
        const QStringList diff =
            link + QStringList{QStringLiteral("cards"), QStringLiteral("diff"), held,
                               QStringLiteral("--to"), QStringLiteral("10")};
        Run r = RunCtl(diff);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json().value(QStringLiteral("identical")), QJsonValue(true));
        QCOMPARE(r.json().value(QStringLiteral("complete")), QJsonValue(true));

        FaultSettings refuseSecond;
        refuseSecond.errorCodes.insert("HB0002", 'B');
        sim_->setFaults(refuseSecond);
        r = RunCtl(diff);
        sim_->clearFaults();
        QCOMPARE(r.exitCode, 1);
        const QJsonObject o = r.json();
        QCOMPARE(o.value(QStringLiteral("complete")), QJsonValue(false));
        QCOMPARE(o.value(QStringLiteral("identical")), QJsonValue(false));
        QCOMPARE(o.value(QStringLiteral("unknownNumbers")).toArray(), QJsonArray({2}));
    }

    void traceHoldsTheFramesInHex()
    {
        const QString trace = dir_.filePath(QStringLiteral("trace.txt"));
        Run r = RunCtl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--trace"), trace,
                        QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 0);
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains(" tx 01 30 30 30 31 41 53 02 "), text.constData());
        QVERIFY(text.contains(" rx 03 30 30 30 31 41 53 31 32 33 34 35 36 37 38 04 "));
        QVERIFY(text.contains(" log 01[0001AS] 12345678(8)\n"));
        QVERIFY(text.contains(" log 01[0001DB] "));

        // A search is traced too, address by address.
        r = RunCtl({QStringLiteral("--trace"), trace, QStringLiteral("search"),
                    QStringLiteral("tcp"), QStringLiteral("--net"), QStringLiteral("127.0.0"),
                    QStringLiteral("--range"), QStringLiteral("1-1"), QStringLiteral("--port"),
                    QString::number(sim_->tcpPort())});
        QCOMPARE(r.exitCode, 0);
        QFile searched(trace);
        QVERIFY(searched.open(QIODevice::ReadOnly));
        QVERIFY(searched.readAll().contains(" 127.0.0.1 tx 01 30 30 30 31 41 53 02 "));

        r = RunCtl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--trace"),
                    dir_.filePath(QStringLiteral("no/such/trace.txt")),
                    QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains("--trace"));
    }
};

QTEST_GUILESS_MAIN(TestCardsDiffCli)
#include "test_cards_diff_cli.moc"
