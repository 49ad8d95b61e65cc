// Replies that come after their time-out, or twice. A card reply does not name its card number,
// nor a parameter reply its code, so a late one must never be taken for the reply to a later
// card or a later parameter; and a line that delivers replies twice, where a copy can pass for
// the next reply unseen, must never end in a complete result.
#include "CardCodec.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
#include "PageParameter.h"
#include "PageParameterIo.h"
#include "ParamTransfer.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QTest>
#include <memory>

namespace {

// A simulated controller whose every fifth reply comes 200 ms after the time-out (or with the
// faults given), a link to it, the count of exchanges that timed out, and the reads of cards
// and of the parameter page over the link.
struct LateSite
{
    explicit LateSite(const ControllerData &controller)
        : LateSite(controller, [] {
              FaultSettings faults;
              faults.lateMs = Comm::ReplyTimeoutMs + 200;
              faults.lateShare = 0.2;
              return faults;
          }())
    {
    }

    LateSite(const ControllerData &controller, const FaultSettings &faults, Via via = Via::Tcp)
    {
        SimulatorConfig config;
        switch (via) {
        case Via::Tcp:
            config.tcpPort = 0;
            break;
        case Via::Udp:
            config.udpPort = 0;
            break;
        case Via::Serial:
            config.serial = true;
            break;
        }
        config.seed = 7;
        config.controllers = {controller};
        config.faults = faults;
        sim = std::make_unique<SimulatorHost>(config);
        connected = OpenSimLink(comm, *sim, via);
        QObject::connect(&comm, &Comm::logLine, [this](const QString &line) {
            timeOuts += line.startsWith(QStringLiteral("02")) ? 1 : 0;
        });
    }

    // Cards 1 to `count` read into `table`.
    CardTransfer::ReadOutcome readCards(TableStore &table, int count)
    {
        CardTransfer transfer(comm, progress, paused, language);
        return transfer.readRange(table, {1, count});
    }

    // The page's parameters, with a short pause after a lost reply: a late reply then comes
    // after the next attempt.
    ParamResult readPage()
    {
        ParamTransfer transfer(comm, progress, paused, std::chrono::milliseconds(2));
        return PageParameterIo(transfer).readAll();
    }

    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    bool connected = false;
    int timeOuts = 0;
    ProgressState progress;
    SharedFlag paused;
    const Language language;
};

// Neighbours on the parameter page hold values that are items of each other's rows, so that a
// value taken for the wrong code would pass the item check.
ControllerData NeighboursHoldEachOthersItems()
{
    ControllerData controller = ControllerData::factory();
    int flip = 0;
    for (const PageParameter &p : PageParameters()) {
        const QStringList items = p.items();
        controller.parameters[p.code().toLatin1()] = items.value(flip++ % items.size()).toLatin1();
    }
    return controller;
}

} // namespace

class TestLateReplies : public QObject
{
    Q_OBJECT

private slots:
    void lateCardRepliesNeverPassForAnotherCard()
    {
        constexpr int Cards = 20;
        ControllerData controller = ControllerData::factory();
        controller.cards = GeneratedCards(Cards);
        LateSite site(controller);
        QVERIFY(site.connected);

        TableStore table;
        const CardTransfer::ReadOutcome outcome = site.readCards(table, Cards);
        QVERIFY(site.timeOuts > 0);
        for (int row = 0; row < table.RecordCount(); ++row) {
            const CardRecord card = CardTable::RowAt(table, row);
            const int number = card.DataNO.toInt();
            QCOMPARE(CardCodec::EncodeWriteData(card).toLatin1(), controller.cards.value(number));
        }
        QCOMPARE(table.RecordCount() + outcome.failedNumbers.size(), Cards);
        // A late reply after a time-out is explained; it is not taken for a stray.
        QCOMPARE(outcome.strayReplies, 0u);
    }

    // Every reply sent again a few milliseconds later: copies pass for the next card's or
    // code's reply, so neither read may end complete, and each names the stray replies.
    void repliesSentTwiceNeverEndComplete()
    {
        ControllerData controller = ControllerData::factory();
        controller.cards = GeneratedCards(30);
        FaultSettings twice;
        twice.lateMs = 2;
        twice.duplicateDelayMs = 5;
        LateSite site(controller, twice);
        QVERIFY(site.connected);

        TableStore table;
        const CardTransfer::ReadOutcome read = site.readCards(table, 30);
        QVERIFY(read.strayReplies > 0);
        QVERIFY(!read.complete());
        QVERIFY2(read.problems().join(u'\n').contains(u"no command was waiting for"),
                 qPrintable(read.problems().join(u'\n')));

        const ParamResult all = site.readPage();
        QVERIFY(!all.success);
        QVERIFY2(all.messages.join(u'\n').contains(u"no command was waiting for"),
                 qPrintable(all.messages.join(u'\n')));
    }

    // A line that has shown it delivers frames outside their exchange (here a reply after its
    // time-out) sends one reply twice, 250 ms apart, and the controller's reply to the next
    // command is lost: the copy comes inside that command's exchange and would pass for its
    // reply, as nothing in a card or parameter reply names what it answers. The command is
    // asked again, and every value read is its own.
    void copyNeverPassesForTheNextReplyThatIsLost_data()
    {
        QTest::addColumn<bool>("cards");
        QTest::addColumn<Via>("via");
        QTest::newRow("card, tcp") << true << Via::Tcp;
        QTest::newRow("parameter, tcp") << false << Via::Tcp;
        QTest::newRow("card, udp") << true << Via::Udp;
        QTest::newRow("parameter, pty") << false << Via::Serial;
    }

    void copyNeverPassesForTheNextReplyThatIsLost()
    {
        QFETCH(bool, cards);
        QFETCH(Via, via);
        ControllerData controller = NeighboursHoldEachOthersItems();
        controller.cards = GeneratedCards(8);
        QStringList codes;
        for (int n = 1; n <= 8; ++n)
            codes << QStringLiteral("HB") + CardCodec::ReadCardNumber(n);
        if (!cards) {
            codes.clear();
            for (const PageParameter &p : PageParameters())
                codes << p.code();
        }
        // Had the two the same reply, the copy would be right.
        QVERIFY(cards ? controller.cards.value(5) != controller.cards.value(6)
                      : controller.parameters.value(codes[4].toLatin1()) !=
                            controller.parameters.value(codes[5].toLatin1()));
        LateSite site(controller, FaultSettings{}, via);
        QVERIFY(site.connected);
        // The faults for the request after each command's exchange.
        FaultSettings late;
        late.lateMs = Comm::ReplyTimeoutMs + 100;
        FaultSettings twice;
        twice.duplicateDelayMs = 250;
        FaultSettings lost;
        lost.lostCodes.insert(codes[5].toLatin1(), 1);
        const QMap<QString, FaultSettings> after{
            {codes[0], late}, {codes[1], {}}, {codes[3], twice}, {codes[4], lost}};
        // The replies each command took, in order.
        QMap<QString, QStringList> taken;
        QObject::connect(&site.comm, &Comm::logLine, [&](const QString &line) {
            const qsizetype end = line.indexOf(u']');
            taken[line.mid(7, end - 7)] << line.mid(end + 1);
            for (auto it = after.cbegin(); it != after.cend(); ++it) {
                if (line.contains(QStringLiteral("[0001%1]").arg(it.key())))
                    site.sim->setFaults(it.value());
            }
        });

        if (cards) {
            TableStore table;
            const CardTransfer::ReadOutcome outcome = site.readCards(table, 8);
            QCOMPARE(table.RecordCount(), 8);
            for (int row = 0; row < table.RecordCount(); ++row) {
                const CardRecord card = CardTable::RowAt(table, row);
                QCOMPARE(CardCodec::EncodeWriteData(card).toLatin1(),
                         controller.cards.value(card.DataNO.toInt()));
            }
            QVERIFY2(outcome.complete(), qPrintable(outcome.problems().join(u'\n')));
        } else {
            const ParamResult all = site.readPage();
            QCOMPARE(all.values.size(), PageParameters().size());
            for (const ParamValue &value : all.values)
                QCOMPARE(value.value.toLatin1(),
                         controller.parameters.value(value.code.toLatin1()));
            QVERIFY2(all.success, qPrintable(all.messages.join(u'\n')));
        }
        // The copy came: the command took it first, and was asked again.
        QCOMPARE(taken.value(codes[5]).size(), 2);
        QCOMPARE(taken.value(codes[5]).first(), taken.value(codes[4]).last());
    }

    // Card 4's reply is lost once; card 9's comes in one write with card 8's. Card 4's lost
    // reply does not explain the extra frame at card 9: that exchange is tried again, the
    // cards read are right, and the read names the reply nobody waited for.
    void twoRepliesAtOnceAreNotExplainedByALostReplyElsewhere()
    {
        constexpr int Cards = 12;
        ControllerData controller = ControllerData::factory();
        controller.cards = GeneratedCards(Cards);
        LateSite site(controller, FaultSettings{});
        QVERIFY(site.connected);
        QStringList results;
        QObject::connect(&site.comm, &Comm::logLine, [&](const QString &line) {
            results << line.left(2);
            FaultSettings next;
            if (line.contains(QLatin1String("[0001HB0003]")))
                next.silentCodes = {QByteArray("HB0004")};
            if (line.contains(QLatin1String("[0001HB0008]")))
                next.pairedShare = 1;
            site.sim->setFaults(next);
        });

        TableStore table;
        const CardTransfer::ReadOutcome outcome = site.readCards(table, Cards);
        QVERIFY(results.contains(QStringLiteral("02")));
        QVERIFY(results.contains(QStringLiteral("%1").arg(int(Comm::Ambiguous))));
        QCOMPARE(table.RecordCount(), Cards);
        for (int row = 0; row < table.RecordCount(); ++row) {
            const CardRecord card = CardTable::RowAt(table, row);
            QCOMPARE(CardCodec::EncodeWriteData(card).toLatin1(),
                     controller.cards.value(card.DataNO.toInt()));
        }
        QCOMPARE(outcome.strayReplies, 1u);
        QVERIFY(!outcome.complete());
        QVERIFY2(outcome.problems().join(u'\n').contains(u"no command was waiting for"),
                 qPrintable(outcome.problems().join(u'\n')));
    }

    void lateParameterRepliesNeverPassForAnotherCode()
    {
        const ControllerData controller = NeighboursHoldEachOthersItems();
        LateSite site(controller);
        QVERIFY(site.connected);

        const ParamResult all = site.readPage();
        QVERIFY(site.timeOuts > 0);
        for (const ParamValue &value : all.values)
            QCOMPARE(value.value.toLatin1(), controller.parameters.value(value.code.toLatin1()));
        QCOMPARE(all.values.size() + all.failedCodes.size(), PageParameters().size());
    }
};

QTEST_GUILESS_MAIN(TestLateReplies)
#include "test_late_replies.moc"
