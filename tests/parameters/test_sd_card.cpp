// The controller's own SD card backup and restore against the simulator: the idle check,
// the start, the confirmation and the following, with the waits shortened.
#include "ParamSite.h"
#include "SdCardOperation.h"
#include "SdTiming.h"

#include <QElapsedTimer>

namespace {

using Kind = SdCardOperation::Kind;
using Ending = SdCardOperation::Ending;

// What the progress window was shown: each new text, with the maximum set with it.
struct ProgressLog
{
    explicit ProgressLog(ProgressState &progress)
    {
        QObject::connect(&progress, &ProgressState::changed, [this, &progress] {
            if (progress.text().isEmpty() || progress.text() == lastText)
                return;
            lastText = progress.text();
            entries << lastText + QStringLiteral(" /%1").arg(progress.maximum());
        });
    }
    bool contains(const QString &entry) const { return entries.contains(entry); }

    QStringList entries;
    QString lastText;
};

ControllerData WithSd(int total, int countsPerSecond)
{
    ControllerData data = ControllerData::factory();
    data.sd.total = total;
    data.sd.countsPerSecond = countsPerSecond;
    return data;
}

struct SdSite : ParamSite
{
    explicit SdSite(const ControllerData &data) : ParamSite(Via::Tcp, data)
    {
        sd.setTiming(FastSdTiming(std::chrono::milliseconds(1500)));
    }

    void setSd(const std::function<void(SdCardState &)> &change)
    {
        sim->controller().modify([&](ControllerData &d) {
            change(d.sd);
            return true;
        });
    }
    // A copy that runs already, as another workstation (or the controller's keypad) began it.
    void startCopy(int running, int stallAt)
    {
        setSd([&](SdCardState &s) {
            s.running = running;
            s.stallAt = stallAt;
            s.startedAtMs = QDateTime::currentMSecsSinceEpoch() - 10000;
        });
    }
    int statusRequestsBeforeStart() const
    {
        const QStringList sent = sentCommands();
        int count = 0;
        for (const QString &command : sent) {
            if (command.startsWith(QLatin1String("0001AL")))
                return count;
            if (command == QLatin1String("0001AN"))
                ++count;
        }
        return -1;
    }

    SdCardOperation sd{transfer, clockReadPaused, language};
    ProgressLog shown{progress};
};

} // namespace

class TestSdCard : public QObject
{
    Q_OBJECT

private slots:
    // An idle controller counting 0000 is taken at the third answer; the progress then shows
    // the count itself against a maximum of 1000, and the run ends when it is idle again.
    void idleZeroIsAcceptedAtTheThirdAnswer()
    {
        ControllerData data = WithSd(30, 300);
        data.sd.announcedTotal = 0;
        SdSite site(data);
        const SdCardOperation::Outcome outcome = site.sd.run(Kind::Backup, QStringLiteral("04"));
        QCOMPARE(outcome.ending, Ending::Finished);
        QCOMPARE(outcome.messages(Kind::Backup), QStringList{QStringLiteral("OK!")});
        QCOMPARE(site.statusRequestsBeforeStart(), 3);
        QVERIFY(site.sentCommands().contains(QStringLiteral("0001ALB04")));
        QCOMPARE(site.state().sd.slot, 4);
        QVERIFY(!site.shown.entries.isEmpty());
        for (const QString &entry : site.shown.entries) {
            if (entry != QStringLiteral("Writing ... /100"))
                QVERIFY2(
                    QRegularExpression(QStringLiteral("^Writing \\.\\.\\.\\.\\.\\.\\.\\d+ /1000$"))
                        .match(entry)
                        .hasMatch(),
                    qPrintable(entry));
        }
        QVERIFY(!site.clockReadPaused.isSet());
        QVERIFY(!site.progress.running());
    }

    // Total 200, 50 done: 25 %, in the form with "%" against 100.
    void progressIsThePercentOfTheTotal()
    {
        ControllerData data = WithSd(200, 1000);
        data.sd.stallAt = 50;
        SdSite site(data);
        QObject::connect(&site.progress, &ProgressState::changed, [&] {
            if (site.progress.text().endsWith(QLatin1String("25%")))
                site.setSd([](SdCardState &s) { s.stallAt = -1; });
        });
        const SdCardOperation::Outcome outcome = site.sd.run(Kind::Restore, QStringLiteral("10"));
        QCOMPARE(outcome.ending, Ending::Finished);
        QVERIFY2(site.shown.contains(QStringLiteral("Reading .......25% /100")),
                 qPrintable(site.shown.entries.join(QLatin1Char('|'))));
        QVERIFY(site.sentCommands().contains(QStringLiteral("0001ALR10")));
        QCOMPARE(site.state().sd.running, 0);
    }

    // A controller that copies more than it announced is followed to its end: the count is
    // shown without a percentage and the run ends "OK!" when the controller is idle.
    void moreDoneThanTheTotalIsFollowedToTheEnd()
    {
        ControllerData data = WithSd(260, 400);
        data.sd.announcedTotal = 200;
        SdSite site(data);
        const SdCardOperation::Outcome outcome = site.sd.run(Kind::Backup, QStringLiteral("01"));
        QCOMPARE(outcome.ending, Ending::Finished);
        QCOMPARE(outcome.total, 200);
        QVERIFY2(outcome.done > 200, qPrintable(QString::number(outcome.done)));
        const QString past = QStringLiteral("Writing .......%1 /1000").arg(outcome.done);
        QVERIFY2(site.shown.contains(past), qPrintable(site.shown.entries.join(QLatin1Char('|'))));
    }

    // Busy with a copy: nothing is started, and each operation has its own words.
    void busyControllerIsNotStarted()
    {
        SdSite site(WithSd(200, 100));
        site.startCopy(1, 10);
        SdCardOperation::Outcome backup = site.sd.run(Kind::Backup, QStringLiteral("01"));
        QCOMPARE(backup.ending, Ending::BusyWithBackup);
        QCOMPARE(backup.messages(Kind::Backup),
                 QStringList({QStringLiteral("KT480NT System Busy!! [Backup...] "),
                              QStringLiteral("Error!")}));
        const SdCardOperation::Outcome restore = site.sd.run(Kind::Restore, QStringLiteral("01"));
        QCOMPARE(restore.messages(Kind::Restore),
                 QStringList({QStringLiteral("KT480NT System Busy [Backup...]!"),
                              QStringLiteral("Error!")}));

        site.startCopy(2, 10);
        backup = site.sd.run(Kind::Backup, QStringLiteral("01"));
        QCOMPARE(backup.messages(Kind::Backup),
                 QStringList({QStringLiteral("KT480NT System Busy!! [Restore...] "),
                              QStringLiteral("Error!")}));
        QCOMPARE(site.sd.run(Kind::Restore, QStringLiteral("01")).messages(Kind::Restore),
                 QStringList({QStringLiteral("KT480NT System Busy [Restore...]!"),
                              QStringLiteral("Error!")}));
        for (const QString &command : site.sentCommands())
            QVERIFY2(!command.startsWith(QLatin1String("0001AL")), qPrintable(command));
        QVERIFY(!site.progress.running());
    }

    // The start's reply comes back damaged although the controller began the copy, and the
    // next attempt is refused because that copy runs: the copy is followed to its end, not
    // reported as a start the controller did not accept. A start refused outright still is.
    void startWithADamagedReplyIsFollowed()
    {
        SdSite site(WithSd(200, 400));
        bool damaging = false;
        QObject::connect(&site.comm, &Comm::logLine, [&](const QString &line) {
            if (!damaging && line.contains(QLatin1String("[0001AN]"))) {
                damaging = true;
                FaultSettings damaged;
                damaged.corruptShare = 1;
                site.sim->setFaults(damaged);
            } else if (line.contains(QLatin1String("[0001ALB01]"))) {
                site.sim->clearFaults();
            }
        });
        const SdCardOperation::Outcome outcome = site.sd.run(Kind::Backup, QStringLiteral("01"));
        QVERIFY2(
            site.log.filter(QStringLiteral("[0001ALB01]")).value(1).startsWith(QLatin1String("23")),
            qPrintable(site.log.join(QLatin1Char('|'))));
        QCOMPARE(outcome.ending, Ending::Finished);
        QCOMPARE(outcome.messages(Kind::Backup), QStringList{QStringLiteral("OK!")});
        QCOMPARE(site.state().sd.running, 0);
        QVERIFY(!site.progress.running());

        SdSite refusing(WithSd(200, 400));
        FaultSettings refusal;
        QVERIFY(refusal.addErrorCode(QStringLiteral("AL:C")));
        refusing.sim->setFaults(refusal);
        const SdCardOperation::Outcome refused =
            refusing.sd.run(Kind::Backup, QStringLiteral("01"));
        QCOMPARE(refused.ending, Ending::StartFailed);
        QCOMPARE(refusing.state().sd.running, 0);
        QVERIFY(!refusing.progress.running());
    }

    // A controller that never answers ends the check after five requests.
    void silentControllerEndsInBoundedTime()
    {
        SdSite site(WithSd(200, 100));
        FaultSettings silent;
        silent.silentCodes.insert("AN");
        site.sim->setFaults(silent);
        QElapsedTimer clock;
        clock.start();
        const SdCardOperation::Outcome outcome = site.sd.run(Kind::Backup, QStringLiteral("01"));
        QCOMPARE(outcome.ending, Ending::NoAnswer);
        QVERIFY2(clock.elapsed() < 4000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(site.statusRequestsBeforeStart(), -1);
        QCOMPARE(site.sentCommands().count(QStringLiteral("0001AN")), 5);
        QVERIFY(outcome.messages(Kind::Backup).value(0).startsWith(QStringLiteral("Error!")));
    }

    // Given up while the controller still copies (a stalled copy past the bound, or a
    // controller gone quiet): the user is told that it may still be working, with the last
    // state known, and the next status request shows what it does.
    void givingUpSaysTheControllerMayStillWork()
    {
        ControllerData data = WithSd(200, 1000);
        data.sd.stallAt = 10;
        SdSite site(data);
        QElapsedTimer clock;
        clock.start();
        SdCardOperation::Outcome outcome = site.sd.run(Kind::Backup, QStringLiteral("02"));
        QCOMPARE(outcome.ending, Ending::GaveUp);
        QVERIFY(clock.elapsed() < 4000);
        const QString message = outcome.messages(Kind::Backup).join(QLatin1Char('\n'));
        QVERIFY(message.startsWith(QStringLiteral("Error!")));
        QVERIFY2(message.contains(QStringLiteral("may still be working")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("SD backup running, 10 done")),
                 qPrintable(message));
        const auto status = site.sd.readStatus();
        QVERIFY(status && status->backupRunning());
        QCOMPARE(SdCardOperation::StateText(status),
                 QStringLiteral("Controller SD card: SD backup running, 10 done."));

        // Quiet after the start: twenty unanswered polls or the bound end it.
        site.setSd([](SdCardState &s) {
            s.running = 0;
            s.stallAt = -1;
        });
        FaultSettings silent;
        silent.silentCodes.insert("AN");
        // The confirmation gets its answer; the controller goes quiet after it.
        bool started = false;
        QObject::connect(&site.comm, &Comm::logLine, [&](const QString &line) {
            if (line.contains(QLatin1String("[0001ALR")))
                started = true;
            else if (started && line.startsWith(QLatin1String("01[0001AN]")))
                site.sim->setFaults(silent);
        });
        clock.restart();
        outcome = site.sd.run(Kind::Restore, QStringLiteral("03"));
        QVERIFY(clock.elapsed() < 4000);
        QCOMPARE(outcome.ending, Ending::GaveUp);
        QVERIFY(outcome.messages(Kind::Restore)
                    .join(QString())
                    .contains(QStringLiteral("may still be working")));
        QVERIFY(!site.clockReadPaused.isSet());
        QVERIFY(!site.progress.running());
    }

    void slotsAndStatusTexts()
    {
        QCOMPARE(SdCardOperation::SlotText(1), QStringLiteral("01"));
        QCOMPARE(SdCardOperation::SlotText(10), QStringLiteral("10"));
        QVERIFY(SdCardOperation::SlotText(0).isEmpty());
        QVERIFY(SdCardOperation::SlotText(11).isEmpty());
        const auto status = SdCardOperation::ParseStatus(QStringLiteral("20123x"));
        QVERIFY(status && status->restoreRunning() && !status->complete());
        QCOMPARE(status->count, 123);
        QCOMPARE(SdCardOperation::ParseStatus(QStringLiteral("0abcd0262144"))->count, 0);
        QCOMPARE(SdCardOperation::StateText(std::nullopt),
                 QStringLiteral("Controller SD card: no answer to the status request."));
    }
};

QTEST_MAIN(TestSdCard)
#include "test_sd_card.moc"
