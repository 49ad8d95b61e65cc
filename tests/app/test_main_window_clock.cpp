// The main window's clock buttons driven as a user would, against the simulator over TCP.
#include "DeviceClock.h"
#include "WindowRig.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// The set commands of the diagnostic panel, in order ("0001AA20080922235950").
QStringList SetCommands(const TfrmKT480NT5 &w)
{
    QStringList commands;
    for (const QString &line :
         Control<QPlainTextEdit>(w, "Memo1")->toPlainText().split(QLatin1Char('\n'))) {
        const auto open = line.indexOf(QLatin1String("[0001AA"));
        if (open >= 0)
            commands << line.mid(open + 1, line.indexOf(QLatin1Char(']')) - open - 1);
    }
    return commands;
}

} // namespace

class MainWindowClockTest : public QObject
{
    Q_OBJECT

private slots:
    void syncSetsTheControllerClockFromOneReading();
    void syncShowsWhetherTheClockWasSet();
    void onlyRealClockFailuresCloseTheLink();
};

// Each of the thirty set commands is built from one reading of the workstation clock, here
// while the clock passes midnight at the end of a month: none mixes the fields of two moments.
void MainWindowClockTest::syncSetsTheControllerClockFromOneReading()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    Control<QTimer>(w, "tmrClock")->stop();
    const QDateTime start(QDate(2008, 9, 30), QTime(23, 59, 59, 950));
    rig.now = start;
    rig.clockStepMs = 10;
    ClickOnScreen(Control<QPushButton>(w, "btnSyn"));
    QVERIFY(rig.comm().DeviceConnected());
    QCOMPARE(rig.now, start.addMSecs(30 * 10));
    const QStringList sent = SetCommands(w);
    QCOMPARE(sent.size(), 30);
    for (int i = 0; i < sent.size(); ++i)
        QCOMPARE(sent[i], DeviceClock::SetCommand(QStringLiteral("0001"), start.addMSecs(10 * i)));
    QCOMPARE(sent.first(), QStringLiteral("0001AA20080930235959"));
    QCOMPARE(sent.last(), QStringLiteral("0001AA20081001000000"));
    QVERIFY2(Control<QLabel>(w, "pnCur")->text().startsWith(QStringLiteral("2008/10/01   00:00")),
             qPrintable(Control<QLabel>(w, "pnCur")->text()));
    const qint64 offset = rig.sim().controller().snapshot().clockOffsetMs;
    const qint64 expected = QDateTime::currentDateTime().msecsTo(start.addSecs(1));
    QVERIFY(qAbs(offset - expected) < 60000);
    QCOMPARE(w.statusText(), QStringLiteral("Sync Date Time: OK!"));

    ClickOnScreen(Control<QPushButton>(w, "btnDeviceTime"));
    QVERIFY(
        Control<QPlainTextEdit>(w, "Memo1")->toPlainText().contains(QStringLiteral("[0001AB]")));
    QVERIFY(Control<QLabel>(w, "pnCur")->text().startsWith(QStringLiteral("2008/10/01")));
}

// A controller that refuses every set command keeps its clock; the status bar says so, and
// the read that follows shows the clock as it stands on a link that is still up.
void MainWindowClockTest::syncShowsWhetherTheClockWasSet()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    Control<QTimer>(w, "tmrClock")->stop();
    FaultSettings refused;
    refused.errorCodes.insert("AA", 'B');
    rig.sim().setFaults(refused);
    const qint64 before = rig.sim().controller().snapshot().clockOffsetMs;
    rig.now = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    Control<QLabel>(w, "pnCur")->clear();
    ClickOnScreen(Control<QPushButton>(w, "btnSyn"));
    QCOMPARE(w.statusText(), QStringLiteral("Sync Date Time: Error!"));
    QCOMPARE(rig.sim().controller().snapshot().clockOffsetMs, before);
    QVERIFY(!Control<QLabel>(w, "pnCur")->text().isEmpty());
    QVERIFY(!Control<QLabel>(w, "pnCur")->text().startsWith(QStringLiteral("2001")));
    QVERIFY(rig.comm().DeviceConnected());
    QVERIFY(FunctionButtonsEnabled(w));
}

void MainWindowClockTest::onlyRealClockFailuresCloseTheLink()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    Control<QTimer>(w, "tmrClock")->stop();
    rig.now = QDateTime(QDate(2008, 9, 22), QTime(14, 5, 9));
    FaultSettings silentHold;
    silentHold.silentCodes = {QByteArray("ZZ")};
    rig.sim().setFaults(silentHold);

    // Another operation holds the link while the automatic read comes due: it is refused.
    int ticks = 0;
    QTimer::singleShot(20, &w, [&] {
        w.controller().tmrClockTimer();
        ++ticks;
    });
    QCOMPARE(rig.comm().CommExchange(QStringLiteral("0001ZZ"), 6), int(Comm::TimedOut));
    QCOMPARE(ticks, 1);
    QVERIFY(rig.comm().DeviceConnected());
    QVERIFY(rig.comm().TcpConnected());
    QVERIFY(FunctionButtonsEnabled(w));
    QVERIFY(w.statusText().startsWith(QStringLiteral("Communication ok.")));

    // Paused by another window: no read at all.
    const int exchangesBefore = Control<QPlainTextEdit>(w, "Memo1")->document()->blockCount();
    rig.window().context().clockReadPaused.set(true);
    w.controller().tmrClockTimer();
    QCOMPARE(Control<QPlainTextEdit>(w, "Memo1")->document()->blockCount(), exchangesBefore);
    rig.window().context().clockReadPaused.set(false);

    // Five reads that time out are a lost controller, and the status bar says so.
    FaultSettings silentClock;
    silentClock.silentCodes = {QByteArray("AB")};
    rig.sim().setFaults(silentClock);
    w.controller().tmrClockTimer();
    QVERIFY(!rig.comm().DeviceConnected());
    QVERIFY(!rig.comm().TransportHeld());
    QVERIFY(FunctionButtonsDisabled(w));
    QCOMPARE(w.statusText(), QStringLiteral("Communication Error!"));
}

QTEST_MAIN(MainWindowClockTest)
#include "test_main_window_clock.moc"
