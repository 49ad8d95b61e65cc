// kt480ctl cards sync as a script uses it: a real process against the simulator, the frames it
// sent read from its --trace.
#include "CtlRun.h"
#include "SimulatorHost.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray card(const char *id)
{
    return EncodedCardRecord(QByteArray(id).rightJustified(16, '0'), 1, 0, "XXXX", 0);
}

// Cards 1, 2, 3 and 5 in the range 1-10, 40 beyond it.
QMap<int, QByteArray> heldCards()
{
    return {{1, card("11")}, {2, card("22")}, {3, card("33")}, {5, card("55")}, {40, card("4040")}};
}

// Keeps 1, changes 2 and 40, adds 4, leaves 3 and 5 out.
const QByteArray SiteRows = "0000001,11,01,0,XXXX,0\n"
                            "0000002,23,01,0,XXXX,0\n"
                            "0000004,44,01,0,XXXX,0\n"
                            "0000040,4041,01,0,XXXX,0\n";

// What the controller holds once it is as the file has it.
QMap<int, QByteArray> syncedCards()
{
    return {{1, card("11")}, {2, card("23")}, {4, card("44")}, {40, card("4041")}};
}

QList<int> numbers(const QJsonValue &array)
{
    QList<int> list;
    for (const QJsonValue &v : array.toArray())
        list << v.toInt();
    return list;
}

} // namespace

class TestCardsSyncCli : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatorHost> sim_;
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

    QString tracePath() const { return dir_.filePath(QStringLiteral("trace.txt")); }

    // kt480ctl --tcp ... --trace ... --json cards sync FILE --to 10 and the options given.
    Run sync(const QString &file, const QStringList &options = {})
    {
        QFile::remove(tracePath());
        return RunCtl(QStringList{QStringLiteral("--tcp"),
                                  QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort()),
                                  QStringLiteral("--trace"), tracePath(), QStringLiteral("cards"),
                                  QStringLiteral("sync"), file, QStringLiteral("--to"),
                                  QStringLiteral("10")} +
                      options);
    }

    // The command codes the last run sent, and the numbers its card writes went to.
    struct Sent
    {
        QStringList codes;
        QList<int> written;
    };
    Sent sent() const
    {
        QFile file(tracePath());
        Sent s;
        if (!file.open(QIODevice::ReadOnly))
            return s;
        static const QRegularExpression command(QStringLiteral(" log 01\\[0001(..)(\\d{7})?"));
        for (const QString &line : QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'))) {
            const QRegularExpressionMatch m = command.match(line);
            if (!m.hasMatch())
                continue;
            s.codes << m.captured(1);
            if (m.captured(1) == QLatin1String("HA"))
                s.written << m.captured(2).toInt();
        }
        return s;
    }

    void hold(const QMap<int, QByteArray> &cards, const QSet<int> &garbled = {})
    {
        sim_->controller().modify([&](ControllerData &d) {
            d.cards = cards;
            d.garbledCardNumbers = garbled;
            return true;
        });
    }

    QMap<int, QByteArray> held() const { return sim_->controller().snapshot().cards; }

private slots:
    void initTestCase()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
    }

    void init() { hold(heldCards()); }

    // Only the numbers that differ are written, cards first; "HK" is never sent; the controller
    // then equals the file, and a second sync writes nothing.
    void syncWritesOnlyTheNumbersThatDiffer()
    {
        const QString file = cardFile(QStringLiteral("site"), SiteRows);
        Run r = sync(file, {QStringLiteral("--json")});
        QVERIFY2(r.exitCode == 0, r.err.constData());
        const QJsonObject o = r.json();
        QCOMPARE(o.value(QStringLiteral("equalsFile")), QJsonValue(true));
        QCOMPARE(o.value(QStringLiteral("written")).toInt(), 3);
        QCOMPARE(o.value(QStringLiteral("cleared")).toInt(), 2);
        QCOMPARE(o.value(QStringLiteral("unchanged")).toInt(), 1);
        QCOMPARE(o.value(QStringLiteral("unreadable")).toInt(), 0);
        QCOMPARE(o.value(QStringLiteral("failed")).toInt(), 0);
        QCOMPARE(numbers(o.value(QStringLiteral("doneNumbers"))), (QList<int>{2, 4, 40, 3, 5}));
        const Sent s = sent();
        QCOMPARE(s.written, (QList<int>{2, 4, 40, 3, 5}));
        QVERIFY(!s.codes.contains(QStringLiteral("HK")));
        QCOMPARE(held(), syncedCards());

        r = sync(file);
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.contains("written 0, cleared 0, unchanged 4, unreadable 0, failed 0\n"),
                 r.out.constData());
        QVERIFY(sent().written.isEmpty());
    }

    // The plan as cards diff shows it, and not one write; exit 0 only when nothing would change.
    void dryRunWritesNothing()
    {
        const QString file = cardFile(QStringLiteral("site"), SiteRows);
        const quint64 revision = sim_->controller().revision();
        Run r = sync(file, {QStringLiteral("--dry-run")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("added   0000004 ID 0000000000000044"), r.out.constData());
        QVERIFY(r.out.contains("removed 0000003"));
        QVERIFY(r.out.contains("changed 0000040 DataID 0000000000004040 -> 0000000000004041"));
        QVERIFY(r.out.contains("unchanged 1, added 1, removed 2, changed 2\n"));
        QVERIFY(!r.out.contains("written"));
        QVERIFY(!sent().codes.contains(QStringLiteral("HA")));
        QVERIFY(sent().codes.contains(QStringLiteral("HB")));
        QCOMPARE(sim_->controller().revision(), revision);

        hold(syncedCards());
        r = sync(file, {QStringLiteral("--dry-run"), QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(
            r.json().value(QStringLiteral("plan")).toObject().value(QStringLiteral("identical")),
            QJsonValue(true));
    }

    // A number the controller took the write for but keeps otherwise is named; the rest is done.
    void numberThatDiffersAfterItsWriteIsNamed()
    {
        hold(heldCards(), {4});
        const Run r = sync(cardFile(QStringLiteral("site"), SiteRows));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("written 2, cleared 2, unchanged 1, unreadable 0, failed 1\n"),
                 r.out.constData());
        QVERIFY(r.out.contains("failed: 4\n"));
        QVERIFY(r.err.contains("1 card number is not confirmed as the list has it: 4"));
        QCOMPARE(held().value(2), card("23"));
    }

    void fileThatCannotBeWrittenSendsNothing_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("one number, two cards") << QByteArray("0000001,11,01,0,XXXX,0\n"
                                                             "0000001,12,01,0,XXXX,0\n")
                                               << QByteArray("cannot be written");
        QTest::newRow("no cards") << QByteArray() << QByteArray("holds no cards");
    }

    void fileThatCannotBeWrittenSendsNothing()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QByteArray, message);
        const QString file = cardFile(QStringLiteral("bad"), rows);
        QVERIFY(!file.isEmpty());
        const quint64 revision = sim_->controller().revision();
        const Run r = sync(file, {QStringLiteral("--json")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(message), r.err.constData());
        QCOMPARE(r.json().value(QStringLiteral("equalsFile")), QJsonValue(false));
        QVERIFY(sent().codes.isEmpty());
        QCOMPARE(sim_->controller().revision(), revision);
    }

    // Options of other verbs are refused before anything is opened or sent.
    void foreignOptionIsRefused_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("--clear-all") << QStringList{QStringLiteral("--clear-all")};
        QTest::newRow("--out") << QStringList{QStringLiteral("--out"),
                                              dir_.filePath(QStringLiteral("out.xml"))};
        QTest::newRow("--force") << QStringList{QStringLiteral("--force")};
    }

    void foreignOptionIsRefused()
    {
        QFETCH(QStringList, options);
        const Run r = sync(cardFile(QStringLiteral("site"), SiteRows), options);
        QCOMPARE(r.exitCode, 2);
        QVERIFY(sent().codes.isEmpty());
        QCOMPARE(held(), heldCards());
    }
};

QTEST_GUILESS_MAIN(TestCardsSyncCli)
#include "test_cards_sync_cli.moc"
