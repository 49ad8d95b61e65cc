#include "CardCodec.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

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
        OpenSimLink(comm, *sim, via);
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

Q_DECLARE_METATYPE(FaultSettings::WrongLength)

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
        const auto outcome = b.transfer.readRange(b.table, {1, 12});
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
        const auto outcome = b.transfer.readRange(b.table, {9999, 10000});
        QVERIFY(outcome.complete());
        QCOMPARE(b.table.RecordCount(), 2);
        const QString log = sent.join(QLatin1Char('\n'));
        QVERIFY(log.contains(QStringLiteral("01[0001HB9999] ")));
        QVERIFY(log.contains(QStringLiteral("01[0001HB0010000] ")));
    }

    // Start after end reads no number: nothing is sent, and the table, as after every read,
    // holds what was read: nothing.
    void emptyRangeSendsNothing()
    {
        Bench b(Via::Tcp);
        QVERIFY(b.transfer.readRange(b.table, {1, 12}).complete());
        QCOMPARE(b.table.RecordCount(), 3);
        QSignalSpy lines(&b.comm, &Comm::logLine);
        const auto outcome = b.transfer.readRange(b.table, {5, 3});
        QVERIFY(outcome.complete());
        QCOMPARE(lines.count(), 0);
        QVERIFY(b.table.Active());
        QCOMPARE(b.table.RecordCount(), 0);
    }

    // The serial adapter goes away under a loaded table: no read, re-read or write can start,
    // and the table stays as the user had it.
    void linkThatCannotBeReopenedKeepsTheTable()
    {
        Bench b(Via::Serial);
        QTemporaryDir dir;
        const QString line = dir.filePath(QStringLiteral("line"));
        QVERIFY(QFile::link(b.sim->serialPath(), line));
        QVERIFY(b.comm.CommOpenSerialDevice(line, QStringLiteral("115200,n,8,1")));
        QVERIFY(b.transfer.readRange(b.table, {1, 12}).complete());
        CardTable::Append(b.table, card(QStringLiteral("0000044"), QStringLiteral("44")));
        const QList<QStringList> loaded = b.table.Content().rows;

        b.sim.reset();
        QVERIFY(QFile::remove(line));
        QTRY_VERIFY(!b.comm.TransportOpen());
        QSignalSpy lines(&b.comm, &Comm::logLine);
        const auto read = b.transfer.readRange(b.table, {1, 12});
        QVERIFY(!read.linkReady);
        QCOMPARE(read.problems(), QStringList{QStringLiteral("the link could not be opened")});
        QCOMPARE(b.table.Content().rows, loaded);
        // Nothing is held any more: a second try cannot start either.
        QVERIFY(!b.transfer.readRange(b.table, {1, 12}).linkReady);
        const auto again = b.transfer.readNumbers(b.table, {5, 9});
        QVERIFY(!again.linkReady);
        QCOMPARE(again.failedNumbers, (QList<int>{5, 9}));
        QVERIFY(!b.transfer.write(b.table, QString(), true, false).linkReady);
        QCOMPARE(b.table.Content().rows, loaded);
        QCOMPARE(lines.count(), 0);
    }

    void failedNumbersAreListed()
    {
        Bench b(Via::Tcp);
        FaultSettings faults;
        faults.errorCodes.insert("HB0005", 'C');
        faults.errorCodes.insert("HB0007", 'A');
        b.sim->setFaults(faults);
        const auto outcome = b.transfer.readRange(b.table, {1, 10});
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.failedNumbers, (QList<int>{5, 7}));
        QCOMPARE(b.table.RecordCount(), 2);

        b.sim->clearFaults();
        const auto retry = b.transfer.readNumbers(b.table, outcome.failedNumbers);
        QVERIFY(retry.complete());
        QCOMPARE(b.table.RecordCount(), 3);
    }

    // Damaged and lost replies cost attempts, not cards: the read is the one a clean line
    // gives.
    void corruptedAndDroppedRepliesAreRetried()
    {
        Bench b(Via::Tcp);
        QVERIFY(b.transfer.readRange(b.table, {1, 12}).complete());
        const QList<QStringList> clean = b.table.Content().rows;
        FaultSettings faults;
        faults.corruptShare = 0.25;
        faults.dropShare = 0.15;
        b.sim->setFaults(faults);
        QStringList results;
        connect(&b.comm, &Comm::logLine, this,
                [&](const QString &line) { results << line.left(2); });
        const auto outcome = b.transfer.readRange(b.table, {1, 12});
        QVERIFY2(outcome.complete(), qPrintable(outcome.problems().join('\n')));
        QCOMPARE(b.table.Content().rows, clean);
        QVERIFY(results.contains(QStringLiteral("11")));
        QVERIFY(results.contains(QStringLiteral("02")));
        QVERIFY(results.size() > 12);
    }

    // The re-read of failed numbers shows its progress and stops at Cancel like the read; the
    // numbers not reached are offered again.
    void rereadShowsProgressAndStopsAtCancel()
    {
        Bench b(Via::Tcp);
        QVERIFY(b.transfer.readRange(b.table, {1, 4}).complete());
        QList<int> positions;
        connect(&b.progress, &ProgressState::changed, this,
                [&] { positions << b.progress.position(); });
        connect(&b.transfer, &CardTransfer::status, this, [&](const QString &text) {
            if (text.contains(QStringLiteral("0010000 /")))
                b.progress.requestStop();
        });
        const auto outcome = b.transfer.readNumbers(b.table, {5, 9999, 10000, 10500});
        QVERIFY(outcome.stopped);
        QCOMPARE(outcome.failedNumbers, QList<int>{10500});
        QVERIFY(positions.contains(3));
        QCOMPARE(b.progress.maximum(), 0);
        QStringList numbers;
        for (int row = 0; row < b.table.RecordCount(); ++row)
            numbers << CardTable::RowAt(b.table, row).DataNO;
        QCOMPARE(numbers, (QStringList{"0000001", "0000002", "0000005", "0009999", "0010000"}));
    }

    void cancelKeepsTheRowsRead()
    {
        Bench b(Via::Tcp);
        connect(&b.transfer, &CardTransfer::status, this, [&](const QString &text) {
            if (text.contains(QStringLiteral("0000003 /")))
                b.progress.requestStop();
        });
        const auto outcome = b.transfer.readRange(b.table, {1, 12});
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

        // With no valid row left, letting the invalid ones go deletes nothing either.
        CardTable::Recreate(b.table);
        CardTable::Append(b.table, card(QStringLiteral("x1"), QStringLiteral("1")));
        CardTable::Append(b.table, card(QStringLiteral("0"), QStringLiteral("2")));
        const int sent = lines.count();
        const auto none = b.transfer.write(b.table, QString(), true, true);
        QVERIFY(!none.complete());
        QVERIFY(none.heldBack);
        QVERIFY(!none.clearAllDone);
        QCOMPARE(none.problems().size(), 1);
        QCOMPARE(lines.count(), sent);
        QCOMPARE(b.controllerCards().keys(), QList<int>{3});
    }

    // Two rows with one card number and different cards: the controller would keep only the
    // later one. The later row is named and, unless the user lets the others go, nothing is
    // sent; the same card twice is no conflict.
    void oneCardNumberTwiceIsNotWrittenOverItself()
    {
        Bench b(Via::Tcp);
        const auto before = b.controllerCards();
        QSignalSpy lines(&b.comm, &Comm::logLine);
        CardTable::Recreate(b.table);
        CardTable::Append(b.table, card(QStringLiteral("0000003"), QStringLiteral("31")));
        CardTable::Append(b.table, card(QStringLiteral("0000004"), QStringLiteral("41")));
        CardTable::Append(b.table, card(QStringLiteral("3"), QStringLiteral("39")));
        CardTable::Append(b.table, card(QStringLiteral("0000004"), QStringLiteral("41")));
        const QStringList invalid = CardTransfer::invalidRows(b.table);
        QCOMPARE(invalid.size(), 1);
        QVERIFY2(invalid[0].startsWith(QStringLiteral("row 3: card number 3 is also in row 1")),
                 qPrintable(invalid[0]));
        const auto outcome = b.transfer.write(b.table, QString(), true, false);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.invalidRows, invalid);
        QCOMPARE(lines.count(), 0);
        QCOMPARE(b.controllerCards(), before);

        const auto others = b.transfer.write(b.table, QString(), false, true);
        QVERIFY(!others.complete());
        QCOMPARE(others.written, 3);
        QVERIFY(others.failedNumbers.isEmpty());
        QVERIFY(b.controllerCards().value(3).startsWith("0000000000000031"));
        QVERIFY(b.controllerCards().value(4).startsWith("0000000000000041"));
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
        const auto before = b.controllerCards();
        const auto outcome = b.transfer.write(b.table, QString(), false, false);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.failedNumbers, QList<int>{7});
        QCOMPARE(outcome.written, 2);
        // The refused card is not in the controller; the others are.
        const auto after = b.controllerCards();
        QVERIFY(!after.contains(7));
        QVERIFY(after.contains(6) && after.contains(8));
        QCOMPARE(after.size(), before.size() + 2);
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

    // A controller holds an empty slot as 24 zeros: a reply of any other length is damaged,
    // never "no card here". It is tried five times and the number is named.
    void cardReplyOfAnotherLengthIsNamed_data()
    {
        QTest::addColumn<FaultSettings::WrongLength>("shape");
        QTest::newRow("one character short") << FaultSettings::WrongLength::Short;
        QTest::newRow("one character long") << FaultSettings::WrongLength::Long;
        QTest::newRow("the bare echo") << FaultSettings::WrongLength::Echo;
        QTest::newRow("the Device ID alone") << FaultSettings::WrongLength::DeviceId;
    }

    void cardReplyOfAnotherLengthIsNamed()
    {
        QFETCH(FaultSettings::WrongLength, shape);
        Bench b(Via::Tcp);
        FaultSettings faults;
        faults.wrongLengthShare = 1;
        faults.wrongLengthShape = shape;
        faults.wrongLengthCodes = {QByteArray("HB0002")};
        b.sim->setFaults(faults);
        QStringList sent;
        connect(&b.comm, &Comm::logLine, this, [&](const QString &line) {
            if (line.contains(QLatin1String("[0001HB0002]")))
                sent << line;
        });
        const auto outcome = b.transfer.readRange(b.table, {1, 5});
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.failedNumbers, QList<int>{2});
        QCOMPARE(sent.size(), 5);
        QCOMPARE(b.table.RecordCount(), 2);
        QVERIFY2(outcome.problems().join(u'\n').contains(u"could not be read: 2"),
                 qPrintable(outcome.problems().join(u'\n')));
    }

    // A delete of every card that got no usable reply may have deleted them all the same: the
    // outcome says it does not know. Only a refusal tells that the cards are still there.
    void undoneDeleteAllSaysWhatIsKnown_data()
    {
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("says");
        QTest::newRow("no reply") << false << QStringLiteral("is not known");
        QTest::newRow("refused") << true << QStringLiteral("still in the controller");
    }

    void undoneDeleteAllSaysWhatIsKnown()
    {
        QFETCH(bool, refused);
        QFETCH(QString, says);
        Bench b(Via::Tcp);
        FaultSettings faults;
        if (refused)
            faults.errorCodes.insert("HK", 'B');
        else
            faults.silentCodes.insert("HK");
        b.sim->setFaults(faults);
        CardTable::Recreate(b.table);
        CardTable::Append(b.table, card(QStringLiteral("0000003"), QStringLiteral("12345")));
        const auto outcome =
            b.transfer.write(b.table, QStringLiteral("KT480NT-V5.04"), true, false);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.clearAllRefused, refused);
        QVERIFY2(outcome.problems().join(u'\n').contains(says),
                 qPrintable(outcome.problems().join(u'\n')));
        const auto alone = b.transfer.clearAll();
        QVERIFY(!alone.done);
        QVERIFY2(alone.problem().contains(says), qPrintable(alone.problem()));
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
