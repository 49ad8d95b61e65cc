// Replies that come after their time-out. A card reply does not name its card number, nor a
// parameter reply its code, so a late one must never be taken for the reply to a later card
// or a later parameter.
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

// A simulated controller whose every fifth reply comes 200 ms after the time-out, a link to
// it, and the count of exchanges that timed out.
struct LateSite
{
    explicit LateSite(const ControllerData &controller)
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.seed = 7;
        config.controllers = {controller};
        config.faults.lateMs = Comm::ReplyTimeoutMs + 200;
        config.faults.lateShare = 0.2;
        sim = std::make_unique<SimulatorHost>(config);
        connected = OpenSimLink(comm, *sim);
        QObject::connect(&comm, &Comm::logLine, [this](const QString &line) {
            timeOuts += line.startsWith(QStringLiteral("02")) ? 1 : 0;
        });
    }

    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    bool connected = false;
    int timeOuts = 0;
};

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

        ProgressState progress;
        SharedFlag paused;
        const Language language;
        CardTransfer transfer(site.comm, progress, paused, language);
        TableStore table;
        const CardTransfer::ReadOutcome outcome = transfer.readRange(table, {1, Cards});
        QVERIFY(site.timeOuts > 0);
        for (int row = 0; row < table.RecordCount(); ++row) {
            const CardRecord card = CardTable::RowAt(table, row);
            const int number = card.DataNO.toInt();
            QCOMPARE(CardCodec::EncodeWriteData(card).toLatin1(), controller.cards.value(number));
        }
        QCOMPARE(table.RecordCount() + outcome.failedNumbers.size(), Cards);
    }

    void lateParameterRepliesNeverPassForAnotherCode()
    {
        // Neighbours hold values that are items of each other's rows, so that a value taken
        // for the wrong code would pass the item check.
        ControllerData controller = ControllerData::factory();
        int flip = 0;
        for (const PageParameter &p : PageParameters()) {
            const QStringList items = p.items();
            controller.parameters[p.code().toLatin1()] =
                items.value(flip++ % items.size()).toLatin1();
        }
        LateSite site(controller);
        QVERIFY(site.connected);

        ProgressState progress;
        SharedFlag paused;
        // A short pause after a lost reply: the late one then comes after the next attempt.
        ParamTransfer transfer(site.comm, progress, paused, std::chrono::milliseconds(2));
        PageParameterIo io(transfer);
        const ParamResult all = io.readAll();
        QVERIFY(site.timeOuts > 0);
        for (const ParamValue &value : all.values)
            QCOMPARE(value.value.toLatin1(), controller.parameters.value(value.code.toLatin1()));
        QCOMPARE(all.values.size() + all.failedCodes.size(), PageParameters().size());
    }
};

QTEST_GUILESS_MAIN(TestLateReplies)
#include "test_late_replies.moc"
