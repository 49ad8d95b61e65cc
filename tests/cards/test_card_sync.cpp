#include "CardSync.h"
#include "CardTable.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

const QString Version = QStringLiteral("KT480NT-V5.04");

QByteArray record(const char *id, const char *pin = "XXXX")
{
    return EncodedCardRecord(id, 1, 0, pin, 0);
}

CardRecord row(const char *number, const char *id, const char *pin = "XXXX")
{
    return {QLatin1String(number), QLatin1String(id),  QStringLiteral("01"),
            QStringLiteral("0"),   QLatin1String(pin), QStringLiteral("0")};
}

// A controller holding the cards given, a link to it and a sync over that link; the command
// codes sent are kept.
struct SyncSite
{
    SyncSite(Via via, const QMap<int, QByteArray> &cards, const QSet<int> &garbled = {})
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.serial = via == Via::Serial;
        ControllerData controller = ControllerData::factory();
        controller.cards = cards;
        controller.garbledCardNumbers = garbled;
        config.controllers = {controller};
        sim = std::make_unique<SimulatorHost>(config);
        OpenSimLink(comm, *sim, via);
        QObject::connect(&comm, &Comm::traffic, [this](Comm::Traffic t, const QByteArray &bytes) {
            // 0x01, the Device ID, then the code.
            if (t == Comm::Traffic::Sent)
                sentCodes << QString::fromLatin1(bytes.mid(5, 2));
        });
        sync.transfer().setRetryPauseMs(0);
    }

    void setList(const QList<CardRecord> &rows)
    {
        CardTable::Recreate(list);
        for (const CardRecord &r : rows)
            CardTable::Append(list, r);
    }

    QMap<int, QByteArray> cards() { return sim->controller().snapshot().cards; }

    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    ProgressState progress;
    SharedFlag clockReadPaused;
    Language language;
    CardSync sync{comm, progress, clockReadPaused, language};
    TableStore list;
    QStringList sentCodes;
};

// Cards 1-3, 5, 7 and 8 in the range 1-10, 20 and 40 beyond it.
QMap<int, QByteArray> oldCards()
{
    return {{1, record("1111")},  {2, record("2222")}, {3, record("3333", "1234")},
            {5, record("5555")},  {7, record("7777")}, {8, record("8888")},
            {20, record("2020")}, {40, record("4040")}};
}

// Keeps 1 and 3 (3 in another spelling), changes 2 and 20, adds 4 and 30, leaves 5 and 8
// out, holds 7 with another card and 9 empty.
QList<CardRecord> listRows()
{
    return {row("0000001", "0000000000001111"),
            row("2", "2223"),
            {QStringLiteral("3"), QStringLiteral("3333"), QStringLiteral("1"), QStringLiteral(""),
             QStringLiteral("1234"), QStringLiteral("")},
            row("0000004", "4444"),
            row("0000007", "7778"),
            row("0000009", "0"),
            row("0000020", "2021"),
            row("0000030", "3030")};
}

// Numbers 7 and 8 cannot be read until the write begins.
void refuseReadsOfSevenAndEight(SyncSite &site, const FaultSettings &line)
{
    FaultSettings faults = line;
    faults.errorCodes.insert("HB0007", 'C');
    faults.errorCodes.insert("HB0008", 'C');
    site.sim->setFaults(faults);
    QObject::connect(&site.sync, &CardSync::status, [&site, line](const QString &text) {
        if (text.startsWith(QLatin1String("Writing")))
            site.sim->setFaults(line);
    });
}

QList<int> numbers(const QList<CardRecord> &cards)
{
    QList<int> list;
    for (const CardRecord &card : cards)
        list << card.DataNO.toInt();
    return list;
}

} // namespace

// Bringing a controller to a card list's state number by number, without "HK".
class TestCardSync : public QObject
{
    Q_OBJECT

private slots:
    void dryRunShowsThePlanAndWritesNothing()
    {
        SyncSite site(Via::Tcp, oldCards());
        site.setList(listRows());
        refuseReadsOfSevenAndEight(site, {});
        const quint64 revision = site.sim->controller().revision();
        const CardSync::Outcome outcome =
            site.sync.run(site.list, {1, 10}, Version, CardSync::Mode::DryRun);

        QCOMPARE(numbers(outcome.plan.added), (QList<int>{4, 30}));
        QCOMPARE(outcome.plan.changed.size(), 2);
        QCOMPARE(outcome.plan.changed[0].number, 2);
        QCOMPARE(outcome.plan.changed[1].number, 20);
        QCOMPARE(numbers(outcome.plan.removed), QList<int>{5});
        QCOMPARE(outcome.plan.unknownNumbers, (QList<int>{7, 8}));
        QCOMPARE(outcome.unchanged, 2);
        QCOMPARE(outcome.unreadable, 2);
        QCOMPARE(outcome.written + outcome.cleared, 0);
        // Not the whole plan: what 7 and 8 hold is not known.
        QVERIFY(!outcome.complete());
        QVERIFY(outcome.problems().join('\n').contains(QLatin1String("could not be read: 7, 8")));
        QVERIFY(!site.sentCodes.contains(QStringLiteral("HA")));
        QCOMPARE(site.sim->controller().revision(), revision);
    }

    void syncReachesTheListWithoutDeletingAllCards_data()
    {
        QTest::addColumn<Via>("via");
        QTest::addColumn<double>("damagedShare");
        QTest::newRow("tcp") << Via::Tcp << 0.0;
        QTest::newRow("pty") << Via::Serial << 0.0;
        QTest::newRow("tcp, replies damaged") << Via::Tcp << 0.2;
    }

    // Added and changed cards are written, numbers of the range the list leaves out emptied,
    // numbers that could not be read given the list's state all the same; the rest, and the
    // cards beyond the range the list does not name, stay untouched.
    void syncReachesTheListWithoutDeletingAllCards()
    {
        QFETCH(Via, via);
        QFETCH(double, damagedShare);
        SyncSite site(via, oldCards());
        site.setList(listRows());
        FaultSettings line;
        line.corruptShare = damagedShare;
        refuseReadsOfSevenAndEight(site, line);
        QSignalSpy paused(&site.clockReadPaused, &SharedFlag::changed);
        // What the progress showed last while the write ran.
        qint64 stepsDone = -1;
        qint64 stepsTotal = -1;
        int position = -1;
        int maximum = -1;
        QObject::connect(&site.progress, &ProgressState::changed, &site.sync, [&] {
            if (site.progress.maximum() == 0 ||
                !site.progress.text().startsWith(QLatin1String("Writing")))
                return;
            stepsDone = site.progress.stepsDone();
            stepsTotal = site.progress.stepsTotal();
            position = site.progress.position();
            maximum = site.progress.maximum();
        });
        const CardSync::Outcome outcome =
            site.sync.run(site.list, {1, 10}, Version, CardSync::Mode::Apply);

        QVERIFY2(outcome.complete(), qPrintable(outcome.problems().join('\n')));
        // Seven numbers written: the count and the bar end at them.
        QCOMPARE(stepsTotal, 7);
        QCOMPARE(stepsDone, stepsTotal);
        QCOMPARE(position, maximum);
        QCOMPARE(outcome.written, 4);
        QCOMPARE(outcome.cleared, 1);
        QCOMPARE(outcome.unchanged, 2);
        QCOMPARE(outcome.unreadable, 2);
        QVERIFY(outcome.failedNumbers.isEmpty());
        // Cards first, then the numbers emptied.
        QCOMPARE(outcome.doneNumbers, (QList<int>{2, 4, 7, 20, 30, 5, 8}));
        const QMap<int, QByteArray> expected{{1, record("1111")},         {2, record("2223")},
                                             {3, record("3333", "1234")}, {4, record("4444")},
                                             {7, record("7778")},         {20, record("2021")},
                                             {30, record("3030")},        {40, record("4040")}};
        QCOMPARE(site.cards(), expected);
        const QSet<QString> codes(site.sentCodes.cbegin(), site.sentCodes.cend());
        QCOMPARE(codes, (QSet<QString>{QStringLiteral("HB"), QStringLiteral("HA")}));
        // The clock read stays out of both the read and the write.
        QVERIFY(paused.count() >= 4);
        QVERIFY(!site.clockReadPaused.isSet());
        QCOMPARE(site.progress.maximum(), 0);
    }

    // The controller answers a write but keeps something else: the read-back names it.
    void numberTheControllerKeepsWronglyIsNamedAsFailed()
    {
        SyncSite site(Via::Tcp, oldCards(), {2, 5});
        site.setList(listRows());
        const CardSync::Outcome outcome =
            site.sync.run(site.list, {1, 10}, Version, CardSync::Mode::Apply);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.failedNumbers, (QList<int>{2, 5}));
        QCOMPARE(outcome.written, 4);
        QCOMPARE(outcome.cleared, 1);
        QVERIFY(!outcome.doneNumbers.contains(2));
        QVERIFY(outcome.problems().join('\n').contains(QLatin1String("2, 5")));
        QCOMPARE(site.cards().value(4), record("4444"));
    }

    void cancelLeavesEachNumberAsItWasOrAsTheListHasIt_data()
    {
        QTest::addColumn<QString>("cancelAt");
        QTest::addColumn<int>("done");
        QTest::newRow("while reading") << QStringLiteral("Reading ... 0000005") << 0;
        QTest::newRow("while writing") << QStringLiteral("Writing ... 0000011") << 11;
    }

    void cancelLeavesEachNumberAsItWasOrAsTheListHasIt()
    {
        QFETCH(QString, cancelAt);
        QFETCH(int, done);
        QMap<int, QByteArray> before;
        QList<CardRecord> rows;
        for (int n = 1; n <= 30; ++n) {
            before.insert(n, record(QByteArray::number(1000 + n)));
            rows << row(QByteArray::number(n).constData(),
                        QByteArray::number(2000 + n).constData());
        }
        SyncSite site(Via::Tcp, before);
        site.setList(rows);
        connect(&site.sync, &CardSync::status, this, [&](const QString &text) {
            if (text.startsWith(cancelAt))
                site.progress.requestStop();
        });
        const CardSync::Outcome outcome =
            site.sync.run(site.list, {1, 30}, Version, CardSync::Mode::Apply);
        QVERIFY(outcome.stopped);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.doneNumbers.size(), done);
        QCOMPARE(outcome.leftNumbers.size(), done == 0 ? 0 : 30 - done);
        const QMap<int, QByteArray> after = site.cards();
        for (int n = 1; n <= 30; ++n) {
            const bool isDone = outcome.doneNumbers.contains(n);
            QCOMPARE(after.value(n), record(QByteArray::number((isDone ? 2000 : 1000) + n)));
        }
        QVERIFY(!site.sentCodes.contains(QStringLiteral("HK")));
        QCOMPARE(site.progress.maximum(), 0);
    }

    void listThatCannotBeWrittenSendsNothing_data()
    {
        QTest::addColumn<QList<CardRecord>>("rows");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no rows") << QList<CardRecord>{} << QStringLiteral("holds no cards");
        QTest::newRow("number not a number")
            << QList<CardRecord>{row("0000001", "1111"), row("12x", "2222")}
            << QStringLiteral("1 row(s)");
        QTest::newRow("one number, two cards")
            << QList<CardRecord>{row("0000001", "1111"), row("1", "2222")}
            << QStringLiteral("1 row(s)");
        QTest::newRow("application number too wide")
            << QList<CardRecord>{{QStringLiteral("0000001"), QStringLiteral("1111"),
                                  QStringLiteral("100"), QStringLiteral("0"),
                                  QStringLiteral("XXXX"), QStringLiteral("0")}}
            << QStringLiteral("1 row(s)");
    }

    void listThatCannotBeWrittenSendsNothing()
    {
        QFETCH(QList<CardRecord>, rows);
        QFETCH(QString, problem);
        SyncSite site(Via::Tcp, oldCards());
        site.setList(rows);
        QSignalSpy lines(&site.comm, &Comm::logLine);
        const CardSync::Outcome outcome =
            site.sync.run(site.list, {1, 10}, Version, CardSync::Mode::Apply);
        QVERIFY(!outcome.sent());
        QVERIFY(!outcome.complete());
        QVERIFY2(outcome.problems().join('\n').contains(problem),
                 qPrintable(outcome.problems().join('\n')));
        QCOMPARE(lines.count(), 0);
        QCOMPARE(site.cards(), oldCards());
    }
};

QTEST_GUILESS_MAIN(TestCardSync)
#include "test_card_sync.moc"
