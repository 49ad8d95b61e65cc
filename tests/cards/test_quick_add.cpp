// Quick add's widget-free parts against simulated desk readers on pseudo-terminals: the
// reader's exchange, the search over the ports, the poll, and the rules for adding cards.
#include "CardEnrolment.h"
#include "CardTable.h"
#include "Comm.h"
#include "PseudoTerminal.h"
#include "ReaderPoller.h"
#include "ReaderSearch.h"
#include "SerialPortOrder.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const QString Absent = QStringLiteral("/dev/kt480-no-such-port-%1");

std::unique_ptr<SimulatorHost> Reader(char family = 'A')
{
    SimulatorConfig config;
    config.reader = true;
    config.readerFamily = family;
    return std::make_unique<SimulatorHost>(config);
}

// What a search said, port by port.
struct SearchLog
{
    explicit SearchLog(ReaderSearch &search)
    {
        QObject::connect(&search, &ReaderSearch::scanning,
                         [this](const QString &port) { scanned << port; });
        QObject::connect(&search, &ReaderSearch::probing,
                         [this](const QString &port) { probed << port; });
    }
    QStringList scanned;
    QStringList probed;
};

// A card table holding these card numbers.
void Fill(TableStore &table, const QList<int> &numbers)
{
    CardTable::Recreate(table);
    for (const int n : numbers)
        CardTable::Append(table, {QStringLiteral("%1").arg(n, 7, 10, QLatin1Char('0')),
                                  QStringLiteral("%1").arg(n, 16, 10, QLatin1Char('0')),
                                  QStringLiteral("01"), QStringLiteral("0"), QStringLiteral("XXXX"),
                                  QStringLiteral("0")});
}

int NextFree(const QList<int> &numbers)
{
    TableStore table;
    Fill(table, numbers);
    return CardEnrolment::NextFreeNumber(table);
}

} // namespace

class TestQuickAdd : public QObject
{
    Q_OBJECT

private slots:
    // The wait for the reader runs the event loop: timers go on, a second exchange asked for
    // meanwhile is refused at once, and closing the reader ends the wait.
    void readerWaitKeepsTheProgramRunning()
    {
        PseudoTerminal silent;
        QVERIFY(silent.isOpen());
        Comm comm;
        QVERIFY(comm.ReaderOpenDevice(silent.slavePath(), ReaderSearch::LineSettings));
        int ticks = 0;
        int nested = -1;
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, [&] {
            if (++ticks == 3)
                nested = comm.ReaderExchange(QStringLiteral("A00F"), 4);
        });
        timer.start();
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00F"), 4), int(Comm::TimedOut));
        QVERIFY(clock.elapsed() >= 500);
        QVERIFY2(ticks >= 15, qPrintable(QString::number(ticks)));
        QCOMPARE(nested, int(Comm::NotSent));
        QVERIFY(!comm.ReaderBusy());

        QTimer::singleShot(50, this, [&] { comm.ReaderClose(); });
        clock.restart();
        QVERIFY(comm.ReaderExchange(QStringLiteral("A00F"), 4) != Comm::Accepted);
        QVERIFY2(clock.elapsed() < 300, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!comm.ReaderHeld());
        QCOMPARE(comm.ReaderExchange(QStringLiteral("A00F"), 4), int(Comm::NotSent));
    }

    // COM1, COM10 and COM3 are tried as COM3, COM10, COM1; the controller's port is never
    // opened, although a reader there would answer first.
    void searchOrderSkipsTheControllersPort()
    {
        const auto onCom1 = Reader();
        const auto onCom10 = Reader();
        ComPortMap map;
        map.assign(1, onCom1->readerPath());
        map.assign(3, Absent.arg(3));
        map.assign(10, onCom10->readerPath());
        const QList<SerialTarget> ports = SerialTargetsInSearchOrder(
            {QStringLiteral("COM1"), QStringLiteral("COM10"), QStringLiteral("COM3")}, map);
        Comm comm;
        ReaderSearch search(comm);
        SearchLog log(search);
        auto found = search.find(ports, 10);
        QVERIFY(found);
        QCOMPARE(found->port.name, QStringLiteral("COM1"));
        QCOMPARE(found->readCommand, QStringLiteral("A00F"));
        QCOMPARE(log.scanned, QStringList({QStringLiteral("COM3"), QStringLiteral("COM10"),
                                           QStringLiteral("COM1")}));
        QCOMPARE(log.probed, QStringList{QStringLiteral("COM1")});
        QVERIFY(comm.ReaderHeld());

        SearchLog again(search);
        found = search.find(ports, 0);
        QVERIFY(found);
        QCOMPARE(found->port.name, QStringLiteral("COM10"));
        QCOMPARE(again.probed, QStringList{QStringLiteral("COM10")});
    }

    // The families are tried in turn, each probe three times: a family-H reader is found
    // after three unanswered "A00B".
    void familyHIsFoundAfterAFails()
    {
        const auto reader = Reader('H');
        ComPortMap map;
        map.assign(5, reader->readerPath());
        Comm comm;
        QStringList sent;
        connect(&comm, &Comm::logLine, this, [&](const QString &line) { sent << line.mid(3, 4); });
        ReaderSearch search(comm);
        const auto found =
            search.find(SerialTargetsInSearchOrder({QStringLiteral("COM5")}, map), 0);
        QVERIFY(found);
        QCOMPARE(found->readCommand, QStringLiteral("H00F"));
        QCOMPARE(sent, QStringList({QStringLiteral("A00B"), QStringLiteral("A00B"),
                                    QStringLiteral("A00B"), QStringLiteral("H00B")}));
    }

    void nothingFoundLeavesNoPortOpen()
    {
        ComPortMap map;
        map.assign(2, Absent.arg(2));
        Comm comm;
        ReaderSearch search(comm);
        QVERIFY(!search.find(SerialTargetsInSearchOrder({QStringLiteral("COM2")}, map), 0));
        QVERIFY(!comm.ReaderHeld());
    }

    // A code of eight characters is no card; a card is handed out once, as 16 characters.
    void pollHandsOutEachCardOnce()
    {
        const auto reader = Reader();
        Comm comm;
        QVERIFY(comm.ReaderOpenDevice(reader->readerPath(), ReaderSearch::LineSettings));
        ReaderPoller poller(comm);
        QSignalSpy cards(&poller, &ReaderPoller::cardRead);
        QSignalSpy ticks(&poller, &ReaderPoller::ticked);
        reader->presentCard("87654321");
        reader->presentCard("0012345678");
        poller.start(QStringLiteral("A00F"));
        QVERIFY(QTest::qWaitFor([&] { return ticks.size() >= 4; }, 5000));
        poller.stop();
        QCOMPARE(cards.size(), 1);
        QCOMPARE(cards.first().first().toString(), QStringLiteral("0000000012345678"));
        QCOMPARE(reader->reader().cardsWaiting(), 0);
    }

    void nextFreeNumber()
    {
        QCOMPARE(NextFree({}), 1);
        QCOMPARE(NextFree({1, 2, 3, 4, 5}), 6);
        QCOMPARE(NextFree({1, 2, 4}), 3);
        QList<int> all;
        for (int n = 1; n <= CardEnrolment::HighestNumber; ++n)
            all << n;
        QCOMPARE(NextFree(all), 63001);
    }

    void commitRules()
    {
        QCOMPARE(CardEnrolment::CardIdFromCode(QStringLiteral("0012345678")),
                 QStringLiteral("0000000012345678"));
        QCOMPARE(CardEnrolment::CardIdFromCode(QStringLiteral("ABCDEFGHIJ0123456789")),
                 QStringLiteral("EFGHIJ0123456789"));

        TableStore table;
        Fill(table, {1, 2});
        using CardEnrolment::Commit;
        QCOMPARE(CardEnrolment::CommitPending(
                     table, {QStringLiteral("7"), QString(), QStringLiteral("1"), 0, QString()}),
                 Commit::NothingPending);
        QCOMPARE(
            CardEnrolment::CommitPending(table, {QStringLiteral("7"), QStringLiteral("0012345678"),
                                                 QStringLiteral("1"), 0, QString()}),
            Commit::BadCardId);
        QCOMPARE(table.RecordCount(), 2);
        QCOMPARE(CardEnrolment::CommitPending(table, {QString(), QStringLiteral("AAAA000012345678"),
                                                      QString(), 1, QStringLiteral("12")}),
                 Commit::Added);
        QCOMPARE(CardTable::RowAt(table, 2),
                 (CardRecord{QStringLiteral("0000003"), QStringLiteral("AAAA000012345678"),
                             QStringLiteral("01"), QStringLiteral("0"), QStringLiteral("12XX"),
                             QStringLiteral("1")}));
        QVERIFY(CardEnrolment::HasCardId(table, QStringLiteral("AAAA000012345678")));
        QVERIFY(!CardEnrolment::HasCardId(table, QStringLiteral("AAAA000012345679")));
    }
};

QTEST_MAIN(TestQuickAdd)
#include "test_quick_add.moc"
