// Replies that come after their time-out. A card reply does not name its card number, so a
// late one must never be taken for the reply to a later card.
#include "CardCodec.h"
#include "CardTable.h"
#include "CardTransfer.h"
#include "Comm.h"
#include "Language.h"
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
};

QTEST_GUILESS_MAIN(TestLateReplies)
#include "test_late_replies.moc"
