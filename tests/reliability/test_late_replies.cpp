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
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QSignalSpy>
#include <QTest>
#include <memory>

class TestLateReplies : public QObject
{
    Q_OBJECT

private slots:
    void lateCardRepliesNeverPassForAnotherCard()
    {
        constexpr int Cards = 20;
        SimulatorConfig config;
        config.tcpPort = 0;
        config.seed = 7;
        ControllerData controller = ControllerData::factory();
        controller.cards = GeneratedCards(Cards);
        config.controllers = {controller};
        // Every fifth reply comes 200 ms after the time-out.
        config.faults.lateMs = Comm::ReplyTimeoutMs + 200;
        config.faults.lateShare = 0.2;
        SimulatorHost sim(config);
        QVERIFY(sim.isRunning());
        Comm comm;
        QSignalSpy connected(&comm, &Comm::tcpConnected);
        comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort());
        QVERIFY(connected.wait(5000));
        int timeOuts = 0;
        connect(&comm, &Comm::logLine, this, [&](const QString &line) {
            timeOuts += line.startsWith(QStringLiteral("02")) ? 1 : 0;
        });

        ProgressState progress;
        SharedFlag paused;
        const Language language;
        CardTransfer transfer(comm, progress, paused, language);
        TableStore table;
        const CardTransfer::ReadOutcome outcome = transfer.readRange(table, {1, Cards});
        QVERIFY(timeOuts > 0);
        for (int row = 0; row < table.RecordCount(); ++row) {
            const CardRecord card = CardTable::RowAt(table, row);
            const int number = card.DataNO.toInt();
            QCOMPARE(CardCodec::EncodeWriteData(card).toLatin1(), controller.cards.value(number));
        }
        QCOMPARE(table.RecordCount() + outcome.failedNumbers.size(), Cards);
    }

    void lateParameterRepliesNeverPassForAnotherCode()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.seed = 7;
        // Neighbours hold values that are items of each other's rows, so that a value taken
        // for the wrong code would pass the item check.
        ControllerData controller = ControllerData::factory();
        int flip = 0;
        for (const PageParameter &p : PageParameters()) {
            const QStringList items = p.items();
            controller.parameters[p.code().toLatin1()] =
                items.value(flip++ % items.size()).toLatin1();
        }
        config.controllers = {controller};
        config.faults.lateMs = Comm::ReplyTimeoutMs + 200;
        config.faults.lateShare = 0.2;
        SimulatorHost sim(config);
        QVERIFY(sim.isRunning());
        Comm comm;
        QSignalSpy connected(&comm, &Comm::tcpConnected);
        comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort());
        QVERIFY(connected.wait(5000));
        int timeOuts = 0;
        connect(&comm, &Comm::logLine, this, [&](const QString &line) {
            timeOuts += line.startsWith(QStringLiteral("02")) ? 1 : 0;
        });

        ProgressState progress;
        SharedFlag paused;
        // A short pause after a lost reply: the late one then comes after the next attempt.
        ParamTransfer transfer(comm, progress, paused, std::chrono::milliseconds(2));
        PageParameterIo io(transfer);
        const ParamResult all = io.readAll();
        QVERIFY(timeOuts > 0);
        for (const ParamValue &value : all.values)
            QCOMPARE(value.value.toLatin1(), controller.parameters.value(value.code.toLatin1()));
        QCOMPARE(all.values.size() + all.failedCodes.size(), PageParameters().size());
    }
};

QTEST_GUILESS_MAIN(TestLateReplies)
#include "test_late_replies.moc"
