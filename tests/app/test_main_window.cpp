// The main window driven as a user would, against the simulator over TCP, UDP and a pty.
#include "ClickablePanel.h"
#include "StatusIndicator.h"
#include "TfrmProcess.h"
#include "WindowRig.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

ControllerData controllerWithCard(int deviceId, int sectors)
{
    ControllerData data = ControllerData::factory(deviceId);
    data.sd.sectors = sectors;
    return data;
}

bool functionButtonsEnabled(const TfrmKT480NT5 &w)
{
    return w.btnParameter->isEnabled() && w.btnCard->isEnabled() && w.btnBackup->isEnabled() &&
           w.btnRestore->isEnabled() && w.btnDeviceTime->isEnabled() && w.btnSyn->isEnabled();
}

bool functionButtonsDisabled(const TfrmKT480NT5 &w)
{
    return !w.btnParameter->isEnabled() && !w.btnCard->isEnabled() && !w.btnBackup->isEnabled() &&
           !w.btnRestore->isEnabled() && !w.btnDeviceTime->isEnabled() && !w.btnSyn->isEnabled();
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void firstStartWithoutSettings();
    void tcpConnectIdentifiesAndStoresTheConnection();
    void serialConnectAdoptsTheBroadcastDeviceId();
    void udpConnectShowsTheSdCardSize_data();
    void udpConnectShowsTheSdCardSize();
    void syncSetsTheControllerClockFromOneReading();
    void onlyRealClockFailuresCloseTheLink();
    void editsUndoTheConnectionOnceInitialised();
    void editsBeforeTheFirstTickChangeNothing();
    void startupRestoresAndReconnectsOverTcp();
    void closeIsRefusedDuringAConnect();
    void languageSwitchKeepsTheConnection();
    void systemLanguageAtFirstStart_data();
    void systemLanguageAtFirstStart();
    void storedLanguageWinsAndBadIndexMeansEnglish();
    void hiddenLogPanelShowsTheLink();
    void functionButtonsAskForTheirWindows();
    void progressWindowFollowsTheSharedState();
};

void MainWindowTest::firstStartWithoutSettings()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    QCOMPARE(w.pcMain->currentIndex(), 0);
    QCOMPARE(w.edID01->text(), QStringLiteral("0001"));
    QCOMPARE(w.cbxBaudRate->currentText(), QStringLiteral("19200,e,8,1"));
    // The factory address is shown, never contacted: nothing is stored, so nothing connects.
    QCOMPARE(w.edtIP->text(), QStringLiteral("192.168.1.101"));
    QCOMPARE(w.edtPort->text(), QStringLiteral("5001"));
    QVERIFY(!rig.comm().TransportHeld());
    QVERIFY(functionButtonsDisabled(w));
    QVERIFY(w.btnSearch01->isEnabled() && w.btnSearch02->isEnabled());
    QVERIFY(!w.btnSearch03->isEnabled());
    QVERIFY(!w.pcMain->isTabVisible(2));
    QVERIFY(w.btnData->isHidden() && w.btnSdCard->isHidden());
    QCOMPARE(w.pnSN->text(), QStringLiteral("________"));
    QCOMPARE(w.pnVER->text(), QStringLiteral("__.__-__"));
    QCOMPARE(w.pnNow->text(), QStringLiteral("2008/09/22   14:05:00"));
    QVERIFY(w.windowTitle().endsWith(QStringLiteral(" [2011-10-28] ")));
}

void MainWindowTest::tcpConnectIdentifiesAndStoresTheConnection()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp(QStringLiteral("1")));
    QCOMPARE(w.pnSN->text(), QStringLiteral("12345678"));
    QCOMPARE(w.versionText(), QStringLiteral("KT480NT-V5.04"));
    QVERIFY(!w.pnCur->text().isEmpty());
    QCOMPARE(w.statusText(),
             QStringLiteral("Communication ok.  127.0.0.1:%1").arg(rig.sim().tcpPort()));
    QCOMPARE(w.indicator->colour(), QColor(Qt::blue));
    QVERIFY(functionButtonsEnabled(w));
    QVERIFY(w.btnSearch02->isEnabled());
    QCOMPARE(rig.storedSetting(QStringLiteral("NetNo")).toInt(), int(rig.sim().tcpPort()));
    QCOMPARE(rig.storedSetting(QStringLiteral("NetIP")).toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(rig.storedSetting(QStringLiteral("CommNo")).toInt(), 0);
    QCOMPARE(rig.storedSetting(QStringLiteral("UdpNo1")).toInt(), 0);
    QCOMPARE(rig.storedSetting(QStringLiteral("DeviceID")).toString(), QStringLiteral("0001"));
    QCOMPARE(rig.storedSetting(QStringLiteral("MainActivePage")).toString(), QStringLiteral("2"));
}

void MainWindowTest::serialConnectAdoptsTheBroadcastDeviceId()
{
    WindowRig rig({ControllerData::factory(5)}, true);
    QVERIFY2(!rig.sim().serialPath().isEmpty(), qPrintable(rig.sim().errorString()));
    qputenv("KT480_COM_MAP", QByteArray("7=") + rig.sim().serialPath().toLocal8Bit());
    TfrmKT480NT5 &w = rig.open();
    qunsetenv("KT480_COM_MAP");
    QVERIFY(rig.settle());
    QVERIFY(w.cbxCommNo->findText(QStringLiteral("COM7")) >= 0);
    QVERIFY2(rig.connectSerial(7, QStringLiteral("1")), qPrintable(w.Memo1->toPlainText()));
    QCOMPARE(w.edID01->text(), QStringLiteral("0005"));
    QCOMPARE(w.edID02->text(), QStringLiteral("0005"));
    QCOMPARE(w.edID03->text(), QStringLiteral("0005"));
    QCOMPARE(rig.comm().DeviceIDText(), QStringLiteral("0005"));
    QCOMPARE(w.pnSN->text(), QStringLiteral("12345678"));
    QCOMPARE(w.cbxCommNo->currentText(), QStringLiteral("COM7"));
    QCOMPARE(w.statusText(), QStringLiteral("Communication ok.  COM:7"));
    QCOMPARE(rig.storedSetting(QStringLiteral("CommNo")).toInt(), 7);
    QCOMPARE(rig.storedSetting(QStringLiteral("BaudRate")).toString(),
             QStringLiteral("19200,e,8,1"));
    QCOMPARE(rig.storedSetting(QStringLiteral("NetNo")).toInt(), 0);
    QCOMPARE(rig.storedSetting(QStringLiteral("DeviceID")).toString(), QStringLiteral("0005"));

    // The user picks a port that is not there: it fails without a dialog.
    w.cbxCommNo->lineEdit()->selectAll();
    QTest::keyClicks(w.cbxCommNo->lineEdit(), QStringLiteral("COM99"));
    QVERIFY(!rig.comm().DeviceConnected());
    QTest::mouseClick(w.btnConnect01, Qt::LeftButton);
    QVERIFY(rig.settle());
    QVERIFY(!rig.comm().DeviceConnected());
    QCOMPARE(w.statusText(), QStringLiteral("Communication Error!"));
    QCOMPARE(w.indicator->colour(), QColor(Qt::red));
    QCOMPARE(w.connectionSettings().portNumber, 0);
    QVERIFY(w.btnConnect01->isEnabled());
}

void MainWindowTest::udpConnectShowsTheSdCardSize_data()
{
    QTest::addColumn<int>("sectors");
    QTest::addColumn<QString>("label");
    QTest::newRow("no card") << 0 << QString();
    QTest::newRow("128 MB") << 262144 << QStringLiteral("[128MB]");
    QTest::newRow("largest count") << 9999999 << QStringLiteral("[4882MB]");
}

void MainWindowTest::udpConnectShowsTheSdCardSize()
{
    QFETCH(int, sectors);
    QFETCH(QString, label);
    WindowRig rig({controllerWithCard(1, sectors)});
    StartOptions options;
    options.expert = true;
    TfrmKT480NT5 &w = rig.open(options);
    QVERIFY(rig.connectUdp());
    QCOMPARE(w.sdCardLabel(), label);
    QCOMPARE(w.btnSdCard->text(), QStringLiteral("SD CARD Backup/Restore") + label);
    QCOMPARE(w.btnSdCard->isEnabled(), !label.isEmpty());
    QVERIFY(w.pcMain->isTabVisible(2));
    QVERIFY(!w.btnSdCard->isHidden() && !w.btnData->isHidden());
    QCOMPARE(w.statusText(),
             QStringLiteral("Communication ok.  127.0.0.1:%1").arg(rig.sim().udpPort()));
    QCOMPARE(rig.storedSetting(QStringLiteral("UdpNo1")).toInt(), int(rig.sim().udpPort()));
    QCOMPARE(rig.storedSetting(QStringLiteral("UdpIP")).toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(rig.storedSetting(QStringLiteral("NetNo")).toInt(), 0);
}

void MainWindowTest::syncSetsTheControllerClockFromOneReading()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    rig.now = QDateTime(QDate(2008, 9, 22), QTime(23, 59, 50));
    QTest::mouseClick(w.btnSyn, Qt::LeftButton);
    QVERIFY(rig.comm().DeviceConnected());
    QVERIFY(w.Memo1->toPlainText().contains(QStringLiteral("[0001AA20080922235950]")));
    QVERIFY(w.pnCur->text().startsWith(QStringLiteral("2008/09/22   23:5")));
    const qint64 offset = rig.sim().controller().snapshot().clockOffsetMs;
    const qint64 expected = QDateTime::currentDateTime().msecsTo(rig.now);
    QVERIFY(qAbs(offset - expected) < 60000);

    QTest::mouseClick(w.btnDeviceTime, Qt::LeftButton);
    QVERIFY(w.Memo1->toPlainText().contains(QStringLiteral("[0001AB]")));
    QVERIFY(w.pnCur->text().startsWith(QStringLiteral("2008/09/2")));
}

void MainWindowTest::onlyRealClockFailuresCloseTheLink()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    w.tmrClock.stop();
    rig.now = QDateTime(QDate(2008, 9, 22), QTime(14, 5, 9));
    FaultSettings silentHold;
    silentHold.silentCodes = {QByteArray("ZZ")};
    rig.sim().setFaults(silentHold);

    // Another operation holds the link while the automatic read comes due: it is refused.
    int ticks = 0;
    QTimer::singleShot(20, &w, [&] {
        w.tmrClockTimer();
        ++ticks;
    });
    QCOMPARE(rig.comm().CommExchange(QStringLiteral("0001ZZ"), 6), int(Comm::TimedOut));
    QCOMPARE(ticks, 1);
    QVERIFY(rig.comm().DeviceConnected());
    QVERIFY(rig.comm().TcpConnected());
    QVERIFY(functionButtonsEnabled(w));

    // Paused by another window: no read at all.
    const int exchangesBefore = w.Memo1->document()->blockCount();
    rig.window().context().clockReadPaused.set(true);
    w.tmrClockTimer();
    QCOMPARE(w.Memo1->document()->blockCount(), exchangesBefore);
    rig.window().context().clockReadPaused.set(false);

    // Five reads that time out are a lost controller.
    FaultSettings silentClock;
    silentClock.silentCodes = {QByteArray("AB")};
    rig.sim().setFaults(silentClock);
    w.tmrClockTimer();
    QVERIFY(!rig.comm().DeviceConnected());
    QVERIFY(!rig.comm().TransportHeld());
    QVERIFY(functionButtonsDisabled(w));
}

void MainWindowTest::editsUndoTheConnectionOnceInitialised()
{
    WindowRig rig;
    StartOptions options;
    TfrmKT480NT5 &w = rig.open(options);
    QVERIFY(rig.connectTcp());

    // Digits only in the ID and port boxes, digits and dots in the address.
    w.edID01->clear();
    QTest::keyClicks(w.edID01, QStringLiteral("a1.b2"));
    QCOMPARE(w.edID01->text(), QStringLiteral("12"));
    QVERIFY2(!rig.comm().DeviceConnected(), "typing in a Device ID box undoes the connection");
    QVERIFY(functionButtonsDisabled(w));
    QVERIFY(!rig.comm().TransportHeld());

    QVERIFY(rig.connectTcp());
    QTest::keyClicks(w.edtIP, QStringLiteral("x."));
    QVERIFY(w.edtIP->text().endsWith(QLatin1Char('.')));
    QVERIFY(!rig.comm().DeviceConnected());

    QVERIFY(rig.connectTcp());
    w.edID02->setText(QStringLiteral("0001"));
    QVERIFY2(rig.comm().DeviceConnected(), "the program's own writes keep the connection");
    QTest::keyClick(w.cbxBaudRate, Qt::Key_Down);
    QVERIFY(!rig.comm().DeviceConnected());

    QVERIFY(rig.connectTcp());
    w.pcMain->setCurrentIndex(0);
    QVERIFY2(!rig.comm().DeviceConnected(), "a tab switch closes the link");
    QVERIFY(w.btnConnect01->isEnabled() && w.pnlMain->isEnabled());
    QVERIFY(w.statusText().isEmpty());
    QCOMPARE(rig.storedSetting(QStringLiteral("MainActivePage")).toString(), QStringLiteral("1"));
}

void MainWindowTest::editsBeforeTheFirstTickChangeNothing()
{
    WindowRig rig;
    StartOptions options;
    TfrmKT480NT5 &w = rig.open(options);
    w.tmrClock.stop();
    QVERIFY(!w.initialised());
    w.btnParameter->setEnabled(true);
    QTest::keyClicks(w.edtPort, QStringLiteral("1"));
    QTest::keyClick(w.cbxBaudRate, Qt::Key_Down);
    QVERIFY(w.btnParameter->isEnabled());
}

void MainWindowTest::startupRestoresAndReconnectsOverTcp()
{
    WindowRig rig({ControllerData::factory(5)});
    rig.writeSettings({{QStringLiteral("MainActivePage"), QStringLiteral("2")},
                       {QStringLiteral("NetNo"), rig.sim().tcpPort()},
                       {QStringLiteral("NetIP"), QStringLiteral("127.0.0.1")},
                       {QStringLiteral("DeviceID"), QStringLiteral("5")},
                       {QStringLiteral("LanguageIndex"), 0}});
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    QVERIFY(rig.comm().DeviceConnected());
    QCOMPARE(w.pcMain->currentIndex(), 1);
    QCOMPARE(w.edID01->text(), QStringLiteral("0005"));
    QCOMPARE(w.edID03->text(), QStringLiteral("0005"));
    QCOMPARE(w.edtPort->text(), QString::number(rig.sim().tcpPort()));
    QCOMPARE(w.pnSN->text(), QStringLiteral("12345678"));
    QVERIFY(w.pnlMain->isEnabled());

    // The same file without the automatic connect leaves the link closed.
    WindowRig quiet({ControllerData::factory(5)});
    quiet.writeSettings({{QStringLiteral("MainActivePage"), QStringLiteral("2")},
                         {QStringLiteral("NetNo"), quiet.sim().tcpPort()},
                         {QStringLiteral("NetIP"), QStringLiteral("127.0.0.1")}});
    StartOptions options;
    options.automaticConnect = false;
    quiet.open(options);
    QVERIFY(quiet.settle());
    QVERIFY(!quiet.comm().TransportHeld());
}

void MainWindowTest::closeIsRefusedDuringAConnect()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    w.pcMain->setCurrentIndex(1);
    w.edtIP->setText(QStringLiteral("127.0.0.1"));
    w.edtPort->setText(QString::number(rig.sim().tcpPort()));
    QTest::mouseClick(w.btnConnect02, Qt::LeftButton);
    QVERIFY(w.connecting());
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    w.btnExitClick();
    QVERIFY(w.isVisible());
    QVERIFY(rig.settle());
    QVERIFY(rig.comm().DeviceConnected());
    QVERIFY(w.close());
    QVERIFY(!rig.comm().TransportHeld());
}

void MainWindowTest::languageSwitchKeepsTheConnection()
{
    WindowRig rig({controllerWithCard(1, 262144)});
    StartOptions options;
    options.expert = true;
    TfrmKT480NT5 &w = rig.open(options);
    QVERIFY(rig.connectUdp());
    const QString serial = w.pnSN->text();
    const QString version = w.pnVER->text();
    QTest::mouseClick(w.btnGB, Qt::LeftButton);
    QCOMPARE(w.btnConnect01->text(), QStringLiteral("联机(&C)"));
    QVERIFY(w.btnSdCard->text().endsWith(QStringLiteral("[128MB]")));
    QVERIFY(w.btnSdCard->text().startsWith(QStringLiteral("SD CARD")));
    QCOMPARE(w.pnSN->text(), serial);
    QCOMPARE(w.pnVER->text(), version);
    QVERIFY(rig.comm().DeviceConnected());
    QVERIFY(functionButtonsEnabled(w));
    QCOMPARE(rig.storedSetting(QStringLiteral("LanguageIndex")).toInt(), 2);
    QTest::mouseClick(w.btnBIG5, Qt::LeftButton);
    QCOMPARE(w.btnConnect02->text(), QStringLiteral("連線(&C)"));
    QCOMPARE(rig.window().context().language.LanguageIndex(), 1);
    QVERIFY(rig.comm().DeviceConnected());
}

void MainWindowTest::systemLanguageAtFirstStart_data()
{
    QTest::addColumn<int>("langId");
    QTest::addColumn<QString>("connectCaption");
    QTest::newRow("Taiwan") << 1028 << QStringLiteral("連線(&C)");
    QTest::newRow("PRC") << 2052 << QStringLiteral("联机(&C)");
    QTest::newRow("other") << 1033 << QStringLiteral("&Connect");
}

void MainWindowTest::systemLanguageAtFirstStart()
{
    QFETCH(int, langId);
    QFETCH(QString, connectCaption);
    WindowRig rig;
    StartOptions options;
    options.systemLanguageIndex = Language::LanguageFromLangId(langId);
    TfrmKT480NT5 &w = rig.open(options);
    QVERIFY(rig.settle());
    QCOMPARE(w.btnConnect01->text(), connectCaption);
    QVERIFY(!rig.storedSetting(QStringLiteral("LanguageIndex")).isValid());
}

void MainWindowTest::storedLanguageWinsAndBadIndexMeansEnglish()
{
    WindowRig rig;
    StartOptions options;
    options.systemLanguageIndex = Language::LanguageFromLangId(1028);
    {
        TfrmKT480NT5 &w = rig.open(options);
        QVERIFY(rig.settle());
        QTest::mouseClick(w.btnEng, Qt::LeftButton);
        QCOMPARE(rig.storedSetting(QStringLiteral("LanguageIndex")).toInt(), 0);
        QVERIFY(w.close());
    }
    TfrmKT480NT5 &again = rig.open(options);
    QVERIFY(rig.settle());
    QCOMPARE(again.btnConnect01->text(), QStringLiteral("&Connect"));
    QVERIFY(again.close());

    rig.writeSettings({{QStringLiteral("LanguageIndex"), 7}});
    TfrmKT480NT5 &odd = rig.open(options);
    QVERIFY(rig.settle());
    QCOMPARE(odd.btnConnect01->text(), QStringLiteral("&Connect"));
    QCOMPARE(odd.lblSN->text(), QStringLiteral("S/N :"));
}

void MainWindowTest::hiddenLogPanelShowsTheLink()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    QVERIFY(w.pnlTest->isHidden());
    for (int click = 0; click < 14; ++click)
        QTest::mouseClick(w.pnlMain, Qt::LeftButton, {}, QPoint(2, w.pnlMain->height() - 2));
    QVERIFY(w.pnlTest->isHidden());
    QTest::mouseClick(w.pnlMain, Qt::LeftButton, {}, QPoint(2, w.pnlMain->height() - 2));
    QVERIFY(!w.pnlTest->isHidden());
    QVERIFY(w.Memo1->toPlainText().contains(QStringLiteral("01[0001AS] 12345678(8)")));
    const int lines = w.Memo1->document()->blockCount();
    QCOMPARE(w.Panel2->text(), QStringLiteral("Clear (%1)").arg(lines));
    QTest::mouseClick(w.Panel2, Qt::LeftButton);
    QCOMPARE(w.Panel2->text(), QStringLiteral("Clear (0)"));
    QTest::mouseClick(w.pnlMain, Qt::LeftButton, {}, QPoint(2, w.pnlMain->height() - 2));
    QVERIFY(w.pnlTest->isHidden());
}

void MainWindowTest::functionButtonsAskForTheirWindows()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    QSignalSpy parameter(&w, &TfrmKT480NT5::parameterWindowRequested);
    QSignalSpy card(&w, &TfrmKT480NT5::cardWindowRequested);
    QSignalSpy backup(&w, &TfrmKT480NT5::backupRequested);
    QSignalSpy restore(&w, &TfrmKT480NT5::restoreRequested);
    QTest::mouseClick(w.btnParameter, Qt::LeftButton);
    QTest::mouseClick(w.btnCard, Qt::LeftButton);
    QTest::mouseClick(w.btnBackup, Qt::LeftButton);
    QTest::mouseClick(w.btnRestore, Qt::LeftButton);
    QCOMPARE(parameter.count(), 1);
    QCOMPARE(card.count(), 1);
    QCOMPARE(backup.count(), 1);
    QCOMPARE(restore.count(), 1);
}

void MainWindowTest::progressWindowFollowsTheSharedState()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    ProgressState &progress = w.context().progress;
    TfrmProcess &process = w.processWindow();
    QVERIFY(process.isHidden());
    progress.begin(QStringLiteral("Backup"), QStringLiteral("Reading ..."), 1005, true);
    QVERIFY(process.isVisible());
    QVERIFY(process.tmrProcess.isActive());
    QVERIFY(process.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!process.btnCancel->isHidden());
    QCOMPARE(process.btnCancel->text(), QStringLiteral("Cancel"));
    for (int step = 0; step < 1000; ++step)
        progress.advance();
    process.tmrProcessTimer();
    QCOMPARE(process.windowTitle(), QStringLiteral("Backup"));
    QCOMPARE(process.lblProcessName->text(), QStringLiteral("Reading ..."));
    QCOMPARE(process.prbMain->maximum(), 1005);
    QCOMPARE(process.prbMain->value(), 1001);
    QTest::mouseClick(process.btnCancel, Qt::LeftButton);
    QVERIFY(progress.stopRequested());
    progress.end();
    QVERIFY(process.isHidden());
    QVERIFY(!process.tmrProcess.isActive());
    QCOMPARE(process.prbMain->value(), 0);

    progress.begin(QStringLiteral("Restore"), QString(), 0, false);
    QVERIFY(process.btnCancel->isHidden());
    QVERIFY(!progress.stopRequested());
    progress.setPosition(50);
    process.tmrProcessTimer();
    QCOMPARE(process.prbMain->value(), 0);
    progress.end();
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
