#include "Comm.h"
#include "ExchangePolicy.h"
#include "LoopbackOnly.h"
#include "SimLink.h"
#include "SimulatorHost.h"

#include <QElapsedTimer>
#include <QTest>
#include <memory>

using namespace std::chrono_literals;

// The shared retry policy against a simulated controller over loopback TCP: attempts, the
// pause rule, short replies, and the silence check that ends a run on a dead link. Also the
// switch that keeps automated runs on loopback.
class TestExchangePolicy : public QObject
{
    Q_OBJECT

    std::unique_ptr<SimulatorHost> sim_;
    std::unique_ptr<Comm> comm_;
    QStringList log_;

    FaultSettings silentOn(const QByteArray &code)
    {
        FaultSettings f;
        f.silentCodes.insert(code);
        return f;
    }

private slots:
    void initTestCase()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.controllers = {ControllerData::factory(1)};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY2(sim_->isRunning(), qPrintable(sim_->errorString()));
    }

    void init()
    {
        sim_->clearFaults();
        comm_ = std::make_unique<Comm>();
        log_.clear();
        connect(comm_.get(), &Comm::logLine, this, [this](const QString &l) { log_ << l; });
        QVERIFY(OpenSimLink(*comm_, *sim_));
    }

    void acceptedReplyEndsTheAttempts()
    {
        ExchangePolicy policy(*comm_);
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QVERIFY(reply.accepted());
        QCOMPARE(reply.attempts, 1);
        QCOMPARE(reply.payload, QString::fromLatin1(sim_->controller().snapshot().serialNumber));
        QVERIFY(!reply.silent());
    }

    // A refusal is an answer: every attempt is made, none of them waits.
    void refusalIsRetriedWithoutPause()
    {
        FaultSettings f;
        f.errorCodes.insert("AS", 'C');
        sim_->setFaults(f);
        ExchangePolicy policy(*comm_, {.attempts = 5, .pauseAfterLoss = 400ms});
        QElapsedTimer clock;
        clock.start();
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QVERIFY(clock.elapsed() < 400);
        QVERIFY(!reply.accepted());
        QCOMPARE(reply.result, 23);
        QCOMPARE(reply.attempts, 5);
        QVERIFY(reply.refused);
        QVERIFY(!reply.silent());
    }

    // A refusal stays the command's answer when a later attempt's reply is lost.
    void refusalIsKeptWhenALaterReplyIsLost()
    {
        FaultSettings f;
        f.errorCodes.insert("AS", 'A');
        sim_->setFaults(f);
        connect(comm_.get(), &Comm::logLine, this, [this] { sim_->setFaults(silentOn("AS")); });
        ExchangePolicy policy(*comm_, {.attempts = 2});
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QCOMPARE(log_.size(), 2);
        QCOMPARE(reply.result, int(Comm::TimedOut));
        QVERIFY(!reply.accepted());
        QVERIFY(reply.refused);
        QVERIFY(!reply.silent());
    }

    // Lost replies are retried after the pause, and every attempt is one exchange.
    void lostReplyIsRetriedAfterThePause()
    {
        sim_->setFaults(silentOn("AS"));
        ExchangePolicy policy(*comm_, {.attempts = 2, .pauseAfterLoss = 50ms});
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QVERIFY(reply.silent());
        QVERIFY(reply.sent);
        QCOMPARE(reply.result, int(Comm::TimedOut));
        QCOMPARE(log_.size(), 2);
        QCOMPARE(policy.exchangeCount(), quint64(2));
    }

    void shortReplyIsNotAccepted()
    {
        ExchangePolicy policy(*comm_, {.attempts = 3, .minimumPayload = 40});
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QVERIFY(!reply.accepted());
        QCOMPARE(reply.result, int(Comm::Accepted));
        QCOMPARE(reply.attempts, 3);
    }

    // A reply the caller's check does not take is tried again without a pause, like a short
    // one.
    void payloadCheckRejectsLikeAShortReply()
    {
        int checked = 0;
        ExchangePolicy policy(
            *comm_,
            {.attempts = 3, .pauseAfterLoss = 400ms, .payloadCheck = [&](const QString &payload) {
                 ++checked;
                 return payload.startsWith(QLatin1String("9"));
             }});
        QElapsedTimer clock;
        clock.start();
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QVERIFY(clock.elapsed() < 400);
        QVERIFY(!reply.accepted());
        QCOMPARE(reply.attempts, 3);
        QCOMPARE(checked, 3);
        QVERIFY(!reply.silent());
        policy.setRule(
            {.payloadCheck = [](const QString &payload) { return payload == "12345678"; }});
        QVERIFY(policy.send(QStringLiteral("AS")).accepted());
    }

    // Silent commands in a row make the policy ask for the serial number; an answered check
    // keeps the run going, a silent one ends it and no further command is sent.
    void silenceChecksTheLinkAndEndsTheRun()
    {
        sim_->setFaults(silentOn("HB"));
        ExchangePolicy policy(*comm_, {.attempts = 1, .silentCommandsBeforeCheck = 2});
        policy.send(QStringLiteral("HB0001"));
        policy.send(QStringLiteral("HB0002"));
        QVERIFY(!policy.linkLost());
        QVERIFY(log_.last().contains(QLatin1String("AS]")));

        FaultSettings everything = silentOn("HB");
        everything.silentCodes.insert("AS");
        sim_->setFaults(everything);
        policy.send(QStringLiteral("HB0003"));
        policy.send(QStringLiteral("HB0004"));
        QVERIFY(policy.linkLost());
        const qsizetype sent = log_.size();
        const ExchangeReply after = policy.send(QStringLiteral("HB0005"));
        QCOMPARE(after.attempts, 0);
        QCOMPARE(log_.size(), sent);
    }

    // A controller that answers the link's check but never this command ends the run when the
    // rule says so: a card read would otherwise spend three seconds on every number.
    void silentCommandEndsTheRunWhileTheLinkAnswers()
    {
        sim_->setFaults(silentOn("HB"));
        ExchangePolicy policy(
            *comm_, {.attempts = 1, .silentCommandsBeforeCheck = 2, .silentCommandEndsRun = true});
        policy.send(QStringLiteral("HB0001"));
        policy.send(QStringLiteral("HB0002"));
        QVERIFY(policy.commandUnanswered());
        QVERIFY(!policy.linkLost());
        QVERIFY(log_.last().startsWith(QLatin1String("01[0001AS]")));
        const qsizetype sent = log_.size();
        QCOMPARE(policy.send(QStringLiteral("HB0003")).attempts, 0);
        QCOMPARE(log_.size(), sent);
    }

    // A reply of a length the rule does not allow is damaged: retried, and its attempt leaves
    // the command's effect unknown, unlike a reply that is merely short.
    void replyOfAnotherLengthIsDamaged()
    {
        ExchangePolicy policy(*comm_, {.attempts = 3, .payloadLengths = {7, 9}});
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QVERIFY(!reply.accepted());
        QCOMPARE(reply.attempts, 3);
        QVERIFY(reply.unclear);
        QVERIFY(reply.answered);
        policy.setRule({.attempts = 1, .payloadLengths = {8}});
        QVERIFY(policy.send(QStringLiteral("AS")).accepted());
        policy.setRule({.attempts = 1, .minimumPayload = 9});
        QVERIFY(!policy.send(QStringLiteral("AS")).unclear);
    }

    // A frame no command took is explained only by a lost reply of the command that saw it:
    // a time-out of an earlier command does not make a copy of a later reply harmless.
    void strayReplyIsNotExplainedByAnotherCommandsLostReply()
    {
        ExchangePolicy policy(*comm_, {.attempts = 1});
        sim_->setFaults(silentOn("AS"));
        QCOMPARE(policy.send(QStringLiteral("AS")).result, int(Comm::TimedOut));
        FaultSettings twice;
        twice.duplicateDelayMs = 30;
        sim_->setFaults(twice);
        QVERIFY(policy.send(QStringLiteral("DB")).accepted());
        QTest::qWait(100);
        sim_->clearFaults();
        QVERIFY(policy.send(QStringLiteral("DB")).accepted());
        QCOMPARE(comm_->replyTally().strays, quint64(1));
    }

    // A reply the same as one taken within the second is asked again, and counts only when
    // the next attempt answers the same, once the line has delivered a frame no exchange took;
    // on a clean line a walk over equal replies costs one exchange each.
    void repeatedReplyIsConfirmedOnlyOnALineThatDeliveredStrayFrames()
    {
        ExchangePolicy policy(*comm_, {.attempts = 3, .confirmPossibleCopies = true});
        for (int i = 0; i < 3; ++i)
            QCOMPARE(policy.send(QStringLiteral("AS")).attempts, 1);
        QVERIFY(!comm_->deliversStrayFrames());

        FaultSettings twice;
        twice.duplicateDelayMs = 30;
        sim_->setFaults(twice);
        QVERIFY(policy.send(QStringLiteral("AS")).accepted());
        sim_->clearFaults();
        QTest::qWait(100);
        // The copy is dropped before this request goes out.
        const ExchangeReply confirmed = policy.send(QStringLiteral("AS"));
        QVERIFY(comm_->deliversStrayFrames());
        QVERIFY(confirmed.accepted());
        QCOMPARE(confirmed.attempts, 2);
        QCOMPARE(confirmed.payload,
                 QString::fromLatin1(sim_->controller().snapshot().serialNumber));

        // A reply no second attempt confirms is not taken.
        policy.setRule({.attempts = 1, .confirmPossibleCopies = true});
        const ExchangeReply alone = policy.send(QStringLiteral("AS"));
        QVERIFY(!alone.accepted());
        QVERIFY(alone.unclear);
        // A command whose reply names what it answers takes it at once.
        policy.setRule({.attempts = 1});
        QVERIFY(policy.send(QStringLiteral("AS")).accepted());
    }

    // The late reply of an attempt that timed out is waited for until a second after that
    // attempt, also when a later attempt was answered at once: within the second it is
    // counted as explained and never taken for the next command's reply; after it, it is a
    // reply nobody waited for.
    void lateReplyIsAwaitedFromTheAttemptThatTimedOut_data()
    {
        QTest::addColumn<int>("lateMs");
        QTest::addColumn<quint64>("strays");
        QTest::newRow("within the second") << 700 << quint64(0);
        QTest::newRow("after the second") << 1300 << quint64(1);
    }

    void lateReplyIsAwaitedFromTheAttemptThatTimedOut()
    {
        QFETCH(int, lateMs);
        QFETCH(quint64, strays);
        FaultSettings late;
        late.lateMs = lateMs;
        sim_->setFaults(late);
        const auto answerAtOnce =
            connect(comm_.get(), &Comm::logLine, this, [this] { sim_->clearFaults(); });
        ExchangePolicy policy(*comm_,
                              {.attempts = 2, .lateReplyWindow = ExchangePolicy::LateReplyWindow});
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        disconnect(answerAtOnce);
        QVERIFY(reply.accepted());
        QCOMPARE(reply.attempts, 2);
        QCOMPARE(comm_->replyTally().strays, quint64(0));
        QTest::qWait(700);
        const ExchangeReply next = policy.send(QStringLiteral("AS"));
        QVERIFY(next.accepted());
        QCOMPARE(comm_->replyTally().strays, strays);
    }

    void busyLinkIsNeitherSentNorSilenceChecked()
    {
        Comm closed;
        ExchangePolicy policy(closed, {.attempts = 2, .silentCommandsBeforeCheck = 1});
        const ExchangeReply reply = policy.send(QStringLiteral("AS"));
        QVERIFY(!reply.sent);
        QCOMPARE(reply.result, int(Comm::NotSent));
        QVERIFY(policy.linkLost());
    }

    void loopbackOnlyRefusesOtherAddresses()
    {
        qputenv("KT480_LOOPBACK_ONLY", "1");
        QVERIFY(LoopbackOnly());
        QVERIFY(HostAllowed(QStringLiteral("127.0.0.9")));
        QVERIFY(HostAllowed(QStringLiteral(" localhost ")));
        QVERIFY(HostAllowed(QStringLiteral("::1")));
        QVERIFY(!HostAllowed(QStringLiteral("192.168.1.101")));
        QVERIFY(!HostAllowed(QStringLiteral("example.com")));
        Comm comm;
        QVERIFY(!comm.CommOpenTcp(QStringLiteral("192.168.1.101"), 5001));
        QVERIFY(!comm.TransportHeld());
        QVERIFY(!comm.CommOpenUdp(QStringLiteral("10.0.0.1"), 5001, 0));
        QVERIFY(!comm.TransportHeld());
        qputenv("KT480_LOOPBACK_ONLY", "0");
        QVERIFY(HostAllowed(QStringLiteral("192.168.1.101")));
        qputenv("KT480_LOOPBACK_ONLY", "1");
    }
};

QTEST_GUILESS_MAIN(TestExchangePolicy)
#include "test_exchange_policy.moc"
