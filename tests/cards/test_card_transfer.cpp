#include "CardCodec.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

enum class Via
{
    Tcp,
    Udp,
    Serial
};

QMap<int, QByteArray> someCards()
{
    QMap<int, QByteArray> cards;
    for (int n : {1, 2, 5, 9999, 10000, 10500})
        cards.insert(n, QByteArray("00000000AAAA") + QByteArray::number(1000 + n % 1000) +
                            "01"
                            "1"
                            "12XX"
                            "0");
    return cards;
}

// A simulator with one controller, a link to it and a card transfer over that link.
struct Bench
{
    explicit Bench(Via via, const QByteArray &version = "KT480NT-V5.04")
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.udpPort = 0;
        config.serial = true;
        ControllerData controller = ControllerData::factory();
        controller.versionText = version;
        controller.cards = someCards();
        config.controllers = {controller};
        sim = std::make_unique<SimulatorHost>(config);
        switch (via) {
        case Via::Tcp: {
            comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim->tcpPort());
            QEventLoop loop;
            QObject::connect(&comm, &Comm::tcpConnected, &loop, &QEventLoop::quit);
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            break;
        }
        case Via::Udp:
            comm.CommOpenUdp(QStringLiteral("127.0.0.1"), sim->udpPort(), 0);
            break;
        case Via::Serial:
            comm.CommOpenSerialDevice(sim->serialPath(), QStringLiteral("115200,n,8,1"));
            break;
        }
        transfer.setSettleWait(5, 1);
    }

    QMap<int, QByteArray> controllerCards() { return sim->controller().snapshot().cards; }

    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    ProgressState progress;
    SharedFlag clockReadPaused;
    Language language;
    CardTransfer transfer{comm, progress, clockReadPaused, language};
    TableStore table;
};

CardRecord card(const QString &number, const QString &id)
{
    return {number,
            id,
            QStringLiteral("01"),
            QStringLiteral("0"),
            QStringLiteral("1234"),
            QStringLiteral("0")};
}

} // namespace

class TestCardTransfer : public QObject
{
    Q_OBJECT

private slots:
    void readOverEachTransport_data()
    {
        QTest::addColumn<int>("via");
        QTest::newRow("tcp") << int(Via::Tcp);
        QTest::newRow("udp") << int(Via::Udp);
        QTest::newRow("pty") << int(Via::Serial);
    }

    void readOverEachTransport()
    {
        QFETCH(int, via);
        Bench b{Via(via)};
        QVERIFY(b.sim->isRunning());
        QSignalSpy paused(&b.clockReadPaused, &SharedFlag::changed);
        const auto outcome = b.transfer.readRange(b.table, 1, 12);
        QVERIFY(outcome.complete());
        QCOMPARE(b.table.RecordCount(), 3);
        const CardRecord first = CardTable::RowAt(b.table, 0);
        QCOMPARE(first.DataNO, QStringLiteral("0000001"));
        QCOMPARE(first.DataID, QStringLiteral("00000000AAAA1001"));
        QCOMPARE(first.DataApp, QStringLiteral("01"));
        QCOMPARE(first.DataPIN, QStringLiteral("12XX"));
        QCOMPARE(CardTable::RowAt(b.table, 2).DataNO, QStringLiteral("0000005"));
        QCOMPARE(paused.count(), 2);
        QVERIFY(!b.clockReadPaused.isSet());
        QCOMPARE(b.progress.maximum(), 0);
    }

    void readAcrossFourAndSevenDigitNumbers()
    {
        Bench b(Via::Tcp);
        QStringList sent;
        connect(&b.comm, &Comm::logLine, this, [&](const QString &line) { sent << line; });
        const auto outcome = b.transfer.readRange(b.table, 9999, 10000);
        QVERIFY(outcome.complete());
        QCOMPARE(b.table.RecordCount(), 2);
        const QString log = sent.join(QLatin1Char('\n'));
        QVERIFY(log.contains(QStringLiteral("01[0001HB9999] ")));
        QVERIFY(log.contains(QStringLiteral("01[0001HB0010000] ")));
    }

    void emptyRangeSendsNothing()
    {
        Bench b(Via::Tcp);
        QSignalSpy lines(&b.comm, &Comm::logLine);
        const auto outcome = b.transfer.readRange(b.table, 5, 3);
        QVERIFY(outcome.complete());
        QVERIFY(b.table.Active());
        QCOMPARE(b.table.RecordCount(), 0);
        QCOMPARE(lines.count(), 0);
    }

    void failedNumbersAreListed()
    {
        Bench b(Via::Tcp);
        FaultSettings faults;
        faults.errorCodes.insert("HB0005", 'C');
        faults.errorCodes.insert("HB0007", 'A');
        b.sim->setFaults(faults);
        const auto outcome = b.transfer.readRange(b.table, 1, 10);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.failedNumbers, (QList<int>{5, 7}));
        QCOMPARE(b.table.RecordCount(), 2);

        b.sim->clearFaults();
        const auto retry = b.transfer.readNumbers(b.table, outcome.failedNumbers);
        QVERIFY(retry.complete());
        QCOMPARE(b.table.RecordCount(), 3);
    }

    void corruptedAndDroppedRepliesAreRetried()
    {
        Bench b(Via::Tcp);
        FaultSettings faults;
        faults.corruptShare = 0.3;
        b.sim->setFaults(faults);
        const auto outcome = b.transfer.readRange(b.table, 1, 30);
        QVERIFY(outcome.failedNumbers.size() <= 1);
        QVERIFY(b.table.RecordCount() >= 2);
    }

    void silentControllerEndsTheReadEarly()
    {
        Bench b(Via::Tcp);
        FaultSettings faults;
        faults.errorCodes.insert("HB", 'A');
        faults.errorCodes.insert("AS", 'A');
        b.sim->setFaults(faults);
        const auto outcome = b.transfer.readRange(b.table, 1, 50);
        QVERIFY(outcome.linkLost);
        QCOMPARE(outcome.failedNumbers.size(), 50);
    }

    void cancelKeepsTheRowsRead()
    {
        Bench b(Via::Tcp);
        connect(&b.transfer, &CardTransfer::status, this, [&](const QString &text) {
            if (text.contains(QStringLiteral("0000003 /")))
                b.progress.requestStop();
        });
        const auto outcome = b.transfer.readRange(b.table, 1, 12);
        QVERIFY(outcome.stopped);
        QCOMPARE(b.table.RecordCount(), 2);
    }

    void writeWithClearAllReplacesTheCards()
    {
        Bench b(Via::Serial);
        CardTable::Recreate(b.table);
        CardTable::Append(b.table, card(QStringLiteral("0000003"), QStringLiteral("12345")));
        CardTable::Append(b.table, card(QStringLiteral("10001"), QStringLiteral("ABCDEF")));
        const auto outcome =
            b.transfer.write(b.table, QStringLiteral("KT480NT-V5.04"), true, false);
        QVERIFY(outcome.complete());
        QCOMPARE(outcome.written, 2);
        const auto cards = b.controllerCards();
        QCOMPARE(cards.keys(), (QList<int>{3, 10001}));
        QCOMPARE(cards.value(3), QByteArray("0000000000012345"
                                            "01"
                                            "0"
                                            "1234"
                                            "0"));
    }

    void versionFourSendsFourDigitNumbers()
    {
        Bench b(Via::Tcp, "KT480NT v4.2");
        QStringList lines;
        connect(&b.comm, &Comm::logLine, this, [&](const QString &line) { lines << line; });
        CardTable::Recreate(b.table);
        CardTable::Append(b.table, card(QStringLiteral("12"), QStringLiteral("1")));
        CardTable::Append(b.table, card(QStringLiteral("10000"), QStringLiteral("2")));
        QVERIFY(b.transfer.write(b.table, QStringLiteral("KT480NT v4.2"), false, false).complete());
        QVERIFY(lines.join('\n').contains(QStringLiteral("[0001HA0012")));
        QVERIFY(lines.join('\n').contains(QStringLiteral("[0001HA0010000")));
        QVERIFY(b.controllerCards().contains(12));
        QVERIFY(b.controllerCards().contains(10000));
    }

    void invalidRowsStopEverythingBeforeDeleting()
    {
        Bench b(Via::Tcp);
        const auto before = b.controllerCards();
        QSignalSpy lines(&b.comm, &Comm::logLine);
        CardTable::Recreate(b.table);
        CardTable::Append(b.table, card(QStringLiteral("0000003"), QStringLiteral("1")));
        CardTable::Append(b.table, card(QString(), QStringLiteral("2")));
        CardTable::Append(b.table, card(QStringLiteral("x9"), QStringLiteral("3")));
        const auto outcome = b.transfer.write(b.table, QString(), true, false);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.invalidRows.size(), 2);
        QVERIFY(outcome.invalidRows[0].startsWith(QStringLiteral("row 2")));
        QCOMPARE(lines.count(), 0);
        QCOMPARE(b.controllerCards(), before);

        const auto anyway = b.transfer.write(b.table, QString(), true, true);
        QCOMPARE(anyway.written, 1);
        QCOMPARE(b.controllerCards().keys(), QList<int>{3});
    }

    void rejectedRowsAreListed()
    {
        Bench b(Via::Udp);
        FaultSettings faults;
        faults.errorCodes.insert("HA0000007", 'B');
        b.sim->setFaults(faults);
        CardTable::Recreate(b.table);
        for (int n = 6; n <= 8; ++n)
            CardTable::Append(b.table, card(QString::number(n), QString::number(n)));
        const auto outcome = b.transfer.write(b.table, QString(), false, false);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.failedNumbers, QList<int>{7});
        QCOMPARE(outcome.written, 2);
    }

    void cancelDuringDeleteWritesNothing()
    {
        Bench b(Via::Tcp);
        b.transfer.setSettleWait(50, 1);
        connect(&b.transfer, &CardTransfer::status, this, [&](const QString &text) {
            if (text.endsWith(QStringLiteral("0000005")))
                b.progress.requestStop();
        });
        CardTable::Recreate(b.table);
        CardTable::Append(b.table, card(QStringLiteral("3"), QStringLiteral("1")));
        const auto outcome = b.transfer.write(b.table, QString(), true, false);
        QVERIFY(outcome.stopped);
        QVERIFY(outcome.clearAllDone);
        QCOMPARE(outcome.written, 0);
        QVERIFY(b.controllerCards().isEmpty());
    }

    void emptyTableSendsNothingNotEvenDeleteAll()
    {
        Bench b(Via::Tcp);
        QSignalSpy lines(&b.comm, &Comm::logLine);
        CardTable::Recreate(b.table);
        const auto outcome = b.transfer.write(b.table, QString(), true, false);
        QVERIFY(outcome.nothingToWrite);
        QCOMPARE(lines.count(), 0);
        QCOMPARE(b.controllerCards().size(), 6);
    }

    void clearAllDeletesEveryCard()
    {
        Bench b(Via::Tcp);
        const auto outcome = b.transfer.clearAll();
        QVERIFY(outcome.done);
        QVERIFY(b.controllerCards().isEmpty());
    }
};

QTEST_MAIN(TestCardTransfer)
#include "test_card_transfer.moc"
