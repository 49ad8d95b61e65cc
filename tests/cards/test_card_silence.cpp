#include "CardTable.h"
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QTest>
#include <memory>

namespace {

// A controller with cards 1, 2 and 5, reached over TCP.
struct Site
{
    Site()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        ControllerData controller = ControllerData::factory();
        for (const int n : {1, 2, 5})
            controller.cards.insert(n, EncodedCardRecord("00000000AAAA0001", 1, 0, "12XX", 0));
        config.controllers = {controller};
        sim = std::make_unique<SimulatorHost>(config);
        OpenSimLink(comm, *sim);
        QObject::connect(&comm, &Comm::logLine, [this](const QString &line) {
            sent << line.mid(line.indexOf('[') + 1, line.indexOf(']') - line.indexOf('[') - 1);
        });
    }

    // The controller stops answering anything.
    void silence()
    {
        FaultSettings faults;
        faults.silentCodes = {QByteArray("HB"), QByteArray("AS")};
        sim->setFaults(faults);
    }

    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    ProgressState progress;
    SharedFlag clockReadPaused;
    Language language;
    CardTransfer transfer{comm, progress, clockReadPaused, language};
    TableStore table;
    QStringList sent;
};

QStringList Repeated(const QString &command, int times)
{
    return QStringList(times, command);
}

} // namespace

// Card reads against a controller that does not answer at all: every attempt costs the
// link's full reply time, so these cases live apart from the quick transfer tests.
class TestCardSilence : public QObject
{
    Q_OBJECT

private slots:
    // Three numbers without any reply, then an unanswered serial-number check: the read ends
    // there, and every number of the range counts as not read.
    void silentControllerEndsTheReadEarly()
    {
        Site site;
        site.silence();
        const auto outcome = site.transfer.readRange(site.table, {1, 50});
        QVERIFY(outcome.linkLost);
        QCOMPARE(outcome.failedNumbers.size(), 50);
        QCOMPARE(outcome.failedNumbers.first(), 1);
        QCOMPARE(outcome.failedNumbers.last(), 50);
        QCOMPARE(site.sent, Repeated(QStringLiteral("0001HB0001"), 5) +
                                Repeated(QStringLiteral("0001HB0002"), 5) +
                                Repeated(QStringLiteral("0001HB0003"), 5) +
                                Repeated(QStringLiteral("0001AS"), 3));
        QVERIFY(!site.clockReadPaused.isSet());
        QCOMPARE(site.progress.maximum(), 0);
    }

    // A controller that answers the serial-number check but never a card read: the read ends
    // after the check instead of spending three seconds on every number of the range.
    void cardReadsNeverAnsweredEndTheRead()
    {
        Site site;
        FaultSettings faults;
        faults.silentCodes = {QByteArray("HB")};
        site.sim->setFaults(faults);
        const auto outcome = site.transfer.readRange(site.table, {1, 9});
        QVERIFY(outcome.commandUnanswered);
        QVERIFY(!outcome.linkLost);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.failedNumbers.size(), 9);
        QCOMPARE(site.sent, Repeated(QStringLiteral("0001HB0001"), 5) +
                                Repeated(QStringLiteral("0001HB0002"), 5) +
                                Repeated(QStringLiteral("0001HB0003"), 5) +
                                Repeated(QStringLiteral("0001AS"), 1));
        QVERIFY(outcome.problems().contains(CardTransfer::UnansweredText(true)));
    }

    // "Read these numbers again?" after the link was lost: the re-read ends the same way
    // instead of offering every remaining number, and the cards read before stay.
    void silentControllerEndsTheRereadEarly()
    {
        Site site;
        QVERIFY(site.transfer.readRange(site.table, {1, 6}).complete());
        QCOMPARE(site.table.RecordCount(), 3);
        site.silence();
        site.sent.clear();
        const QList<int> numbers{7, 8, 9, 10, 11, 12};
        const auto outcome = site.transfer.readNumbers(site.table, numbers);
        QVERIFY(outcome.linkLost);
        QCOMPARE(outcome.failedNumbers, numbers);
        QCOMPARE(site.sent, Repeated(QStringLiteral("0001HB0007"), 5) +
                                Repeated(QStringLiteral("0001HB0008"), 5) +
                                Repeated(QStringLiteral("0001HB0009"), 5) +
                                Repeated(QStringLiteral("0001AS"), 3));
        QCOMPARE(site.table.RecordCount(), 3);
        QVERIFY(outcome.problems().contains(QStringLiteral("the controller stopped answering")));
    }
};

QTEST_GUILESS_MAIN(TestCardSilence)
#include "test_card_silence.moc"
