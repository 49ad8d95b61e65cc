#include "BusCollision.h"
#include "ControllerBus.h"
#include "ControllerModel.h"
#include "ControllerState.h"
#include "Frame.h"
#include "ReplyAssembler.h"

#include <QTest>

namespace {

QByteArray Error(const char *echo, char letter)
{
    return QByteArray(echo) + ErrorMark + letter;
}

} // namespace

// What one simulated controller answers, command by command, with a clock the test moves.
class TestControllerModel : public QObject
{
    Q_OBJECT

    QDateTime now_;
    std::unique_ptr<ControllerState> state_;
    std::unique_ptr<ControllerModel> model_;

    QByteArray ask(const QByteArray &commandText) { return model_->handleRequest(commandText); }

private slots:
    void init()
    {
        now_ = QDateTime(QDate(2024, 3, 1), QTime(12, 0, 0));
        state_ = std::make_unique<ControllerState>(ControllerData::factory(1, 2));
        model_ = std::make_unique<ControllerModel>(*state_, [this] { return now_; });
    }

    void identification()
    {
        QCOMPARE(ask("0001AS"), QByteArray("0001AS12345678"));
        QCOMPARE(ask("0001DB"), QByteArray("0001DBKT480NT-V5.04"));
        QCOMPARE(ask("0000AC"), QByteArray("0001AC12345678"));
        // Addressed to another controller, or a broadcast of anything else: silence.
        QVERIFY(ask("0002AS").isEmpty());
        QVERIFY(ask("0000AS").isEmpty());
        QVERIFY(ask("00").isEmpty());
        QVERIFY(ask("ABCDAS").isEmpty());
        QCOMPARE(ask("0001ZZ"), Error("0001ZZ", 'A'));
    }

    void deviceIdTwelve()
    {
        ControllerData d = state_->snapshot();
        d.deviceId = 12;
        state_->set(d);
        QVERIFY(ask("0001AS").isEmpty());
        QCOMPARE(ask("0012AS"), QByteArray("0012AS12345678"));
        QCOMPARE(ask("0000AC"), QByteArray("0012AC12345678"));
    }

    void clockRunsFromTheTimeSet()
    {
        QCOMPARE(ask("0001AB"), QByteArray("0001AB20240301120000"));
        QCOMPARE(ask("0001AA20080922140509"), QByteArray("0001AA"));
        now_ = now_.addSecs(61);
        QCOMPARE(ask("0001AB"), QByteArray("0001AB20080922140610"));
        QCOMPARE(ask("0001QB"), QByteArray("0001QB20080922140610"));
        QCOMPARE(ask("0001AA2008092214050"), Error("0001AA", 'B'));
        QCOMPARE(ask("0001AA20081322140509"), Error("0001AA", 'B'));
        QCOMPARE(ask("0001AA2008092214050X"), Error("0001AA", 'B'));
        QCOMPARE(ask("0001AB"), QByteArray("0001AB20080922140610"));
    }

    void otherModelAnswersQbAsAb()
    {
        ControllerData d = state_->snapshot();
        d.versionText = "KT760NT-V1.00";
        state_->set(d);
        QCOMPARE(ask("0001QB"), QByteArray("0001AB20240301120000"));
    }

    void parameters()
    {
        QCOMPARE(ask("0001AF13"), QByteArray("0001AF120"));
        QCOMPARE(ask("0001AF14"), QByteArray("0001AF0060"));
        QCOMPARE(ask("0001AF13077"), QByteArray("0001AF13"));
        QCOMPARE(ask("0001AF13"), QByteArray("0001AF077"));
        QCOMPARE(state_->snapshot().parameters.value("AF13"), QByteArray("077"));
        // A value typed without leading zeros is stored as sent.
        QCOMPARE(ask("0001AF1460"), QByteArray("0001AF14"));
        QCOMPARE(ask("0001AF14"), QByteArray("0001AF60"));
        // Codes the controller does not use read as empty and refuse a write.
        QCOMPARE(ask("0001AF03"), QByteArray("0001AF"));
        QCOMPARE(ask("0001AF100"), QByteArray("0001AF"));
        QCOMPARE(ask("0001AF035"), Error("0001AF", 'A'));
        QCOMPARE(ask("0001AF1"), Error("0001AF", 'A'));
        QCOMPARE(ask("0001AR00"), QByteArray("0001AR"));
        QCOMPARE(ask("0001AR01"), Error("0001AR", 'A'));
    }

    void parameterHundredExistsWhenConfigured()
    {
        ControllerData d = state_->snapshot();
        d.parameters.insert("AF100", "7");
        d.parameters.remove("AF13");
        state_->set(d);
        QCOMPARE(ask("0001AF100"), QByteArray("0001AF7"));
        QCOMPARE(ask("0001AF13"), QByteArray("0001AF"));
    }

    void factoryDefaults()
    {
        const auto p = state_->snapshot().parameters;
        QCOMPARE(p.size(), 24);
        QCOMPARE(p.value("AF12"), QByteArray("002"));
        QCOMPARE(p.value("AF16"), QByteArray("0030"));
        QCOMPARE(p.value("AF18"), QByteArray("0000"));
        QCOMPARE(p.value("AF63"), QByteArray("005"));
    }

    void groupsReadAndWrite()
    {
        QCOMPARE(ask("0001BD01"), QByteArray("0001BD02000001"));
        QCOMPARE(ask("0001BE0002"), QByteArray("0001BE03000002"));
        QCOMPARE(ask("0001BA2"), QByteArray("0001BA07000002"));
        QCOMPARE(ask("0001BD03"), Error("0001BD", 'A'));
        QCOMPARE(ask("0001DC"), QByteArray("0001DC01000001"));
        // The backup's stop mark closes the MD records.
        QCOMPARE(ask("0001MD003"), QByteArray("0001MD0000000000000000"));
        QCOMPARE(ask("0001MD004"), Error("0001MD", 'A'));

        // A write is code, index and a value of the family's width, with nothing between.
        QCOMPARE(ask("0001BD0312345678"), QByteArray("0001BD"));
        QCOMPARE(ask("0001BD03"), QByteArray("0001BD12345678"));
        QCOMPARE(ask("0001FA10087654321"), QByteArray("0001FA"));
        QCOMPARE(state_->snapshot().groups.value("FA100"), QByteArray("87654321"));
        QCOMPARE(ask("0001MD10001234567890123456"), QByteArray("0001MD"));
        QCOMPARE(state_->snapshot().groups.value("MD1000"), QByteArray("1234567890123456"));
        QCOMPARE(ask("0001DJ17ABCDEFGH"), QByteArray("0001DJ"));
        QCOMPARE(ask("0001DJ17"), QByteArray("0001DJABCDEFGH"));
        // A single record takes the whole rest as its value.
        QCOMPARE(ask("0001JE1"), QByteArray("0001JE"));
        QCOMPARE(ask("0001JE"), QByteArray("0001JE1"));
    }

    void cards()
    {
        const QByteArray empty = "0000000000000000"
                                 "00"
                                 "0"
                                 "XXXX"
                                 "0";
        QCOMPARE(ask("0001HB0001"), "0001HB" + empty);
        const QByteArray record = "0000000000012345"
                                  "01"
                                  "0"
                                  "1234"
                                  "1";
        QCOMPARE(ask("0001HA0000012" + record), QByteArray("0001HA"));
        QCOMPARE(ask("0001HB0012"), "0001HB" + record);
        // Four-digit card numbers in HA, and seven-digit ones above 9999 in HB.
        QCOMPARE(ask("0001HA0007" + record), QByteArray("0001HA"));
        QCOMPARE(ask("0001HA0010500" + record), QByteArray("0001HA"));
        QCOMPARE(ask("0001HB0010500"), "0001HB" + record);
        QCOMPARE(ask("0001HB9999"), "0001HB" + empty);
        QCOMPARE(state_->snapshot().cards.keys(), (QList<int>{7, 12, 10500}));

        QCOMPARE(ask("0001HB12"), Error("0001HB", 'B'));
        QCOMPARE(ask("0001HB00A1"), Error("0001HB", 'B'));
        QCOMPARE(ask("0001HA00012" + record), Error("0001HA", 'B'));
        QCOMPARE(ask("0001HA0000012" + record.left(23)), Error("0001HA", 'B'));
        QCOMPARE(ask("0001HA0000012"
                     "000000000001234G"
                     "010"
                     "XXXX"
                     "0"),
                 Error("0001HA", 'B'));
        QCOMPARE(ask("0001HA0000012"
                     "0000000000001234"
                     "0A0"
                     "XXXX"
                     "0"),
                 Error("0001HA", 'B'));
        QCOMPARE(ask("0001HA0000012"
                     "0000000000001234"
                     "010"
                     "XXYX"
                     "0"),
                 Error("0001HA", 'B'));

        // The empty card, written to a number, frees it: a read then finds it empty.
        QCOMPARE(ask("0001HA0000007" + empty), QByteArray("0001HA"));
        QCOMPARE(state_->snapshot().cards.keys(), (QList<int>{12, 10500}));
        QCOMPARE(ask("0001HB0007"), "0001HB" + empty);

        QCOMPARE(ask("0001HK"), QByteArray("0001HK"));
        QVERIFY(state_->snapshot().cards.isEmpty());
        QCOMPARE(ask("0001HB0012"), "0001HB" + empty);
    }

    // A failing card memory answers the write and keeps the ID with its last digit changed;
    // the empty card it keeps as a card.
    void garbledCardNumberKeepsAnotherCard()
    {
        ControllerData d = state_->snapshot();
        d.garbledCardNumbers = {3};
        state_->set(d);
        QCOMPARE(ask("0001HA0003"
                     "0000000000012345"
                     "010XXXX0"),
                 QByteArray("0001HA"));
        QCOMPARE(ask("0001HB0003"), QByteArray("0001HB"
                                               "0000000000012340"
                                               "010XXXX0"));
        QCOMPARE(ask("0001HA0003"
                     "0000000000000000"
                     "000XXXX0"),
                 QByteArray("0001HA"));
        QCOMPARE(ask("0001HB0003"), QByteArray("0001HB"
                                               "0000000000000001"
                                               "000XXXX0"));
        QCOMPARE(ask("0001HA0004"
                     "0000000000012345"
                     "010XXXX0"),
                 QByteArray("0001HA"));
        QCOMPARE(state_->snapshot().cards.value(4), QByteArray("0000000000012345"
                                                               "010XXXX0"));
    }

    void events()
    {
        ControllerData d = state_->snapshot();
        d.events = GeneratedEvents(3);
        state_->set(d);
        QCOMPARE(ask("0001ID"), QByteArray("0001ID3"));
        const QByteArray first = ask("0001IM");
        QCOMPARE(first, QByteArray("0001IM"
                                   "1"
                                   "20080922140509"
                                   "0001"
                                   "A0001"
                                   "0000001"));
        QCOMPARE(first.size() - 6, 31);
        // Reading does not move on; the acknowledgement does.
        QCOMPARE(ask("0001IM"), first);
        QCOMPARE(ask("0001IN0000001"), QByteArray("0001IN"));
        const QByteArray second = ask("0001IM");
        QCOMPARE(second.size() - 6, 34);
        QCOMPARE(second.mid(6 + 15, 7), QByteArray("0010001"));
        QCOMPARE(second.right(7), QByteArray("0000002"));
        QCOMPARE(ask("0001IN000000"), Error("0001IN", 'B'));
        QCOMPARE(ask("0001IN0000002"), QByteArray("0001IN"));
        QCOMPARE(ask("0001IN0000003"), QByteArray("0001IN"));
        QCOMPARE(ask("0001ID"), QByteArray("0001ID0"));
        QCOMPARE(ask("0001IM"), Error("0001IM", 'A'));
    }

    void sdCardBackupRunsAndEnds()
    {
        QCOMPARE(ask("0001AN"), QByteArray("0001AN"
                                           "0"
                                           "0200"
                                           "0262144"));
        QCOMPARE(ask("0001ALB03"), QByteArray("0001AL"));
        QCOMPARE(state_->snapshot().sd.slot, 3);
        QCOMPARE(ask("0001AN"), QByteArray("0001AN"
                                           "1"
                                           "0000"
                                           "0262144"));
        // A second start while one runs is refused.
        QCOMPARE(ask("0001ALR01"), Error("0001AL", 'C'));
        now_ = now_.addMSecs(500);
        QCOMPARE(ask("0001AN"), QByteArray("0001AN"
                                           "1"
                                           "0050"
                                           "0262144"));
        now_ = now_.addMSecs(1500);
        QCOMPARE(ask("0001AN"), QByteArray("0001AN"
                                           "0"
                                           "0200"
                                           "0262144"));

        QCOMPARE(ask("0001ALR10"), QByteArray("0001AL"));
        QCOMPARE(ask("0001AN").mid(6, 1), QByteArray("2"));
        QCOMPARE(ask("0001ALX01"), Error("0001AL", 'B'));
        QCOMPARE(ask("0001ALB1"), Error("0001AL", 'B'));
    }

    // A controller that announces less than it copies, and a copy that stalls at a count.
    void sdCardAnnouncedTotalAndStall()
    {
        ControllerData d = state_->snapshot();
        d.sd.announcedTotal = 0;
        d.sd.total = 250;
        d.sd.stallAt = 50;
        state_->set(d);
        QCOMPARE(ask("0001AN").mid(6, 5), QByteArray("00000"));
        QCOMPARE(ask("0001ALB01"), QByteArray("0001AL"));
        now_ = now_.addMSecs(2000);
        QCOMPARE(ask("0001AN").mid(6, 5), QByteArray("10050"));
        state_->modify([](ControllerData &data) {
            data.sd.stallAt = -1;
            return true;
        });
        QCOMPARE(ask("0001AN").mid(6, 5), QByteArray("10200"));
        now_ = now_.addMSecs(500);
        QCOMPARE(ask("0001AN").mid(6, 5), QByteArray("00000"));
    }

    void sdCardMissing()
    {
        ControllerData d = state_->snapshot();
        d.sd.sectors = 0;
        state_->set(d);
        QCOMPARE(ask("0001AN"), QByteArray("0001AN"
                                           "0"
                                           "0200"
                                           "0000000"));
        QCOMPARE(ask("0001ALB01"), Error("0001AL", 'C'));
    }

    void revisionCountsChangesOnly()
    {
        const quint64 start = state_->revision();
        ask("0001AS");
        ask("0001AF13");
        ask("0001HB0001");
        QCOMPARE(state_->revision(), start);
        ask("0001AF13121");
        QCOMPARE(state_->revision(), start + 1);
    }

    // A watcher sees every change, with the data as it is after it, and nothing else.
    void watchSeesEachChange()
    {
        QList<QByteArray> seen;
        state_->setWatch([&seen](const ControllerData &d) { seen << d.parameters.value("AF13"); });
        ask("0001AF13");
        ask("0001AF13121");
        ask("0001AF13121");
        ask("0001AF13122");
        ControllerData d = state_->snapshot();
        d.parameters["AF13"] = "123";
        state_->set(d);
        QCOMPARE(seen, (QList<QByteArray>{"121", "122", "123"}));
    }

    void multiDropAddressing()
    {
        ControllerBus bus;
        for (const int id : {3, 7}) {
            ControllerData d = ControllerData::factory(id);
            d.serialNumber = "0000000" + QByteArray::number(id);
            bus.add(std::make_unique<SimController>(d));
        }
        QCOMPARE(bus.dispatch("0007AS").body, QByteArray("0007AS00000007"));
        QCOMPARE(bus.dispatch("0007AS").controller, 1);
        QCOMPARE(bus.dispatch("0003AS").body, QByteArray("0003AS00000003"));
        QCOMPARE(bus.dispatch("0001AS").controller, -1);
        // Both controllers answer the broadcast at once: their replies collide on the line,
        // and what a receiver reads there holds no reply frame.
        const ControllerBus::Answer broadcast = bus.dispatch("0000AC");
        QCOMPARE(broadcast.controller, 0);
        QCOMPARE(broadcast.speakers, 2);
        QCOMPARE(broadcast.body, QByteArray("0003AC00000003"));
        QVERIFY(!broadcast.line.isEmpty());
        ReplyAssembler assembler;
        for (const char b : broadcast.line)
            QVERIFY(!assembler.feed(b));
        // One controller alone puts its reply frame on the line unchanged.
        QCOMPARE(bus.dispatch("0003AS").line, BuildReplyFrame("0003AS00000003"));
        QCOMPARE(OverlappingFrames({BuildReplyFrame("0003AC00000003")}),
                 BuildReplyFrame("0003AC00000003"));
        const ControllerBus::Answer write = bus.dispatch("0007AF13001");
        QVERIFY(write.changed);
        QCOMPARE(bus.at(1).state().snapshot().parameters.value("AF13"), QByteArray("001"));
        QCOMPARE(bus.at(0).state().snapshot().parameters.value("AF13"), QByteArray("120"));
    }
};

QTEST_GUILESS_MAIN(TestControllerModel)
#include "test_controller_model.moc"
