// The main window driven as a user would, against the simulator over TCP, UDP and a pty.
#include "DemoSession.h"
#include "StatusIndicator.h"
#include "TfrmCardData.h"
#include "TfrmIOdata.h"
#include "TfrmProcess.h"
#include "WindowLauncher.h"
#include "WindowRig.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

namespace {

ControllerData controllerWithCard(int deviceId, int sectors)
{
    ControllerData data = ControllerData::factory(deviceId);
    data.sd.sectors = sectors;
    return data;
}

// The UDP tab and the Record data and SD card buttons shown.
StartOptions Expert()
{
    StartOptions options;
    options.expert = true;
    return options;
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
    void udpConnectUsesTheDeviceIdOfTheUdpTab();
    void editsUndoTheConnectionOnceInitialised();
    void editsBeforeTheFirstTickChangeNothing();
    void startupRestoresAndReconnectsOverTcp();
    void startupReconnectsOverUdpWithTheStoredDeviceId_data();
    void startupReconnectsOverUdpWithTheStoredDeviceId();
    void editsUndoAUdpConnectionAfterARefusedTcpAttempt();
    void closeIsRefusedDuringAConnect();
    void languageSwitchKeepsTheConnection();
    void systemLanguageAtFirstStart_data();
    void systemLanguageAtFirstStart();
    void storedLanguageWinsAndBadIndexMeansEnglish();
    void hiddenLogPanelShowsTheLink();
    void fixedBorderCentredOnTheScreen_data();
    void fixedBorderCentredOnTheScreen();
    void portsAbove65535AreRefused();
    void functionButtonsAskForTheirWindows();
    void progressWindowFollowsTheSharedState();
    void progressWindowStepsAsideForAQuestion();
    void demoHoldsCardsAndEvents();
};

void MainWindowTest::firstStartWithoutSettings()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    QCOMPARE(Control<QTabWidget>(w, "pcMain")->currentIndex(), 0);
    QCOMPARE(Control<QLineEdit>(w, "edID01")->text(), QStringLiteral("0001"));
    QCOMPARE(Control<QComboBox>(w, "cbxBaudRate")->currentText(), QStringLiteral("19200,e,8,1"));
    // The factory address is shown, never contacted: nothing is stored, so nothing connects.
    QCOMPARE(Control<QLineEdit>(w, "edtIP")->text(), QStringLiteral("192.168.1.101"));
    QCOMPARE(Control<QLineEdit>(w, "edtPort")->text(), QStringLiteral("5001"));
    QVERIFY(!rig.comm().TransportHeld());
    QVERIFY(FunctionButtonsDisabled(w));
    QVERIFY(Control<QPushButton>(w, "btnSearch01")->isEnabled() &&
            Control<QPushButton>(w, "btnSearch02")->isEnabled());
    QVERIFY(!Control<QPushButton>(w, "btnSearch03")->isEnabled());
    QVERIFY(!Control<QTabWidget>(w, "pcMain")->isTabVisible(2));
    QVERIFY(Control<QPushButton>(w, "btnData")->isHidden() &&
            Control<QPushButton>(w, "btnSdCard")->isHidden());
    QCOMPARE(Control<QLabel>(w, "pnSN")->text(), QStringLiteral("________"));
    QCOMPARE(Control<QLabel>(w, "pnVER")->text(), QStringLiteral("__.__-__"));
    QCOMPARE(Control<QLabel>(w, "pnNow")->text(), QStringLiteral("2008/09/22   14:05:00"));
    QVERIFY(w.windowTitle().endsWith(QStringLiteral(" [2011-10-28] ")));
}

void MainWindowTest::tcpConnectIdentifiesAndStoresTheConnection()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp(QStringLiteral("1")));
    QCOMPARE(Control<QLabel>(w, "pnSN")->text(), QStringLiteral("12345678"));
    QCOMPARE(w.versionText(), QStringLiteral("KT480NT-V5.04"));
    QVERIFY(!Control<QLabel>(w, "pnCur")->text().isEmpty());
    QCOMPARE(w.statusText(),
             QStringLiteral("Communication ok.  127.0.0.1:%1").arg(rig.sim().tcpPort()));
    QCOMPARE(Control<StatusIndicator>(w, "ShapeIndicator")->colour(), QColor(Qt::blue));
    QVERIFY(FunctionButtonsEnabled(w));
    QVERIFY(Control<QPushButton>(w, "btnSearch02")->isEnabled());
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
    const auto unmap = qScopeGuard([] { qunsetenv("KT480_COM_MAP"); });
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    QVERIFY(Control<QComboBox>(w, "cbxCommNo")->findText(QStringLiteral("COM7")) >= 0);
    QVERIFY2(rig.connectSerial(7, QStringLiteral("1")),
             qPrintable(Control<QPlainTextEdit>(w, "Memo1")->toPlainText()));
    QCOMPARE(Control<QLineEdit>(w, "edID01")->text(), QStringLiteral("0005"));
    QCOMPARE(Control<QLineEdit>(w, "edID02")->text(), QStringLiteral("0005"));
    QCOMPARE(Control<QLineEdit>(w, "edID03")->text(), QStringLiteral("0005"));
    QCOMPARE(rig.comm().DeviceIDText(), QStringLiteral("0005"));
    QCOMPARE(Control<QLabel>(w, "pnSN")->text(), QStringLiteral("12345678"));
    QCOMPARE(Control<QComboBox>(w, "cbxCommNo")->currentText(), QStringLiteral("COM7"));
    QCOMPARE(w.statusText(), QStringLiteral("Communication ok.  COM:7"));
    QCOMPARE(rig.storedSetting(QStringLiteral("CommNo")).toInt(), 7);
    QCOMPARE(rig.storedSetting(QStringLiteral("BaudRate")).toString(),
             QStringLiteral("19200,e,8,1"));
    QCOMPARE(rig.storedSetting(QStringLiteral("NetNo")).toInt(), 0);
    QCOMPARE(rig.storedSetting(QStringLiteral("DeviceID")).toString(), QStringLiteral("0005"));

    // Another line setting closes the link.
    Control<QComboBox>(w, "cbxBaudRate")->setFocus(Qt::TabFocusReason);
    KeyOnScreen(Control<QComboBox>(w, "cbxBaudRate"), Qt::Key_Down);
    QCOMPARE(Control<QComboBox>(w, "cbxBaudRate")->currentText(), QStringLiteral("38400,n,8,1"));
    QVERIFY(!rig.comm().DeviceConnected());
    QVERIFY(FunctionButtonsDisabled(w));
    KeyOnScreen(Control<QComboBox>(w, "cbxBaudRate"), Qt::Key_Up);
    QVERIFY(rig.connectSerial(7, QStringLiteral("5")));

    // The user picks a port that is not there: it fails without a dialog.
    ClickOnScreen(Control<QComboBox>(w, "cbxCommNo")->lineEdit());
    Control<QComboBox>(w, "cbxCommNo")->lineEdit()->selectAll();
    TypeOnScreen(Control<QComboBox>(w, "cbxCommNo"), QStringLiteral("COM99"));
    QVERIFY(!rig.comm().DeviceConnected());
    ClickOnScreen(Control<QPushButton>(w, "btnConnect01"));
    QVERIFY(rig.settle());
    QVERIFY(!rig.comm().DeviceConnected());
    QCOMPARE(w.statusText(), QStringLiteral("Communication Error!"));
    QCOMPARE(Control<StatusIndicator>(w, "ShapeIndicator")->colour(), QColor(Qt::red));
    QCOMPARE(w.connectionSettings().portNumber, 0);
    QVERIFY(Control<QPushButton>(w, "btnConnect01")->isEnabled());
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
    TfrmKT480NT5 &w = rig.open(Expert());
    QVERIFY(rig.connectUdp());
    QCOMPARE(w.sdCardLabel(), label);
    QCOMPARE(Control<QPushButton>(w, "btnSdCard")->text(),
             QStringLiteral("SD CARD Backup/Restore") + label);
    QCOMPARE(Control<QPushButton>(w, "btnSdCard")->isEnabled(), !label.isEmpty());
    QVERIFY(Control<QTabWidget>(w, "pcMain")->isTabVisible(2));
    QVERIFY(!Control<QPushButton>(w, "btnSdCard")->isHidden() &&
            !Control<QPushButton>(w, "btnData")->isHidden());
    QCOMPARE(w.statusText(),
             QStringLiteral("Communication ok.  127.0.0.1:%1").arg(rig.sim().udpPort()));
    QCOMPARE(rig.storedSetting(QStringLiteral("UdpNo1")).toInt(), int(rig.sim().udpPort()));
    QCOMPARE(rig.storedSetting(QStringLiteral("UdpIP")).toString(), QStringLiteral("127.0.0.1"));
    QCOMPARE(rig.storedSetting(QStringLiteral("NetNo")).toInt(), 0);
}

// The UDP identification has no broadcast fallback: the ID typed on the UDP tab must be the
// one sent, not the one in the box of the TCP tab behind it.
void MainWindowTest::udpConnectUsesTheDeviceIdOfTheUdpTab()
{
    WindowRig rig({ControllerData::factory(7)});
    TfrmKT480NT5 &w = rig.open(Expert());
    QVERIFY(rig.settle());
    QCOMPARE(Control<QLineEdit>(w, "edID02")->text(), QStringLiteral("0001"));
    // Four digits, as every command carries.
    TypeInto(Control<QLineEdit>(w, "edID03"), QStringLiteral("12345"));
    QCOMPARE(Control<QLineEdit>(w, "edID03")->text(), QStringLiteral("1234"));
    QVERIFY2(rig.connectUdp(QStringLiteral("7")), qPrintable(w.statusText()));
    QCOMPARE(rig.comm().DeviceIDText(), QStringLiteral("0007"));
    for (const char *box : {"edID01", "edID02", "edID03"})
        QCOMPARE(Control<QLineEdit>(w, box)->text(), QStringLiteral("0007"));
    QCOMPARE(rig.storedSetting(QStringLiteral("DeviceID")).toString(), QStringLiteral("0007"));
}

void MainWindowTest::editsUndoTheConnectionOnceInitialised()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());

    // Digits only in the ID and port boxes, digits and dots in the address.
    ClickOnScreen(Control<QLineEdit>(w, "edID02"));
    Control<QLineEdit>(w, "edID02")->selectAll();
    TypeOnScreen(Control<QLineEdit>(w, "edID02"), QStringLiteral("a1.b2"));
    QCOMPARE(Control<QLineEdit>(w, "edID02")->text(), QStringLiteral("12"));
    QVERIFY2(!rig.comm().DeviceConnected(), "typing in a Device ID box undoes the connection");
    QVERIFY(FunctionButtonsDisabled(w));
    QVERIFY(!rig.comm().TransportHeld());

    QVERIFY(rig.connectTcp());
    ClickOnScreen(Control<QLineEdit>(w, "edtIP"));
    KeyOnScreen(Control<QLineEdit>(w, "edtIP"), Qt::Key_End);
    TypeOnScreen(Control<QLineEdit>(w, "edtIP"), QStringLiteral("x."));
    QVERIFY(Control<QLineEdit>(w, "edtIP")->text().endsWith(QLatin1Char('.')));
    QVERIFY(!rig.comm().DeviceConnected());

    QVERIFY(rig.connectTcp());
    Control<QLineEdit>(w, "edID02")->setText(QStringLiteral("0001"));
    QVERIFY2(rig.comm().DeviceConnected(), "the program's own writes keep the connection");
    ClickOnScreen(Control<QLineEdit>(w, "edtPort"));
    KeyOnScreen(Control<QLineEdit>(w, "edtPort"), Qt::Key_Backspace);
    QVERIFY(!rig.comm().DeviceConnected());

    QVERIFY(rig.connectTcp());
    ClickTab(Control<QTabWidget>(w, "pcMain"), 0);
    QVERIFY2(!rig.comm().DeviceConnected(), "a tab switch closes the link");
    QVERIFY(Control<QPushButton>(w, "btnConnect01")->isEnabled() &&
            Control<QWidget>(w, "pnlMain")->isEnabled());
    QVERIFY(w.statusText().isEmpty());
    QCOMPARE(rig.storedSetting(QStringLiteral("MainActivePage")).toString(), QStringLiteral("1"));
}

void MainWindowTest::editsBeforeTheFirstTickChangeNothing()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    Control<QTimer>(w, "tmrClock")->stop();
    QVERIFY(!w.initialised());
    Control<QPushButton>(w, "btnParameter")->setEnabled(true);
    QTest::keyClicks(Control<QLineEdit>(w, "edtPort"), QStringLiteral("1"));
    QTest::keyClick(Control<QComboBox>(w, "cbxBaudRate"), Qt::Key_Down);
    QVERIFY(Control<QPushButton>(w, "btnParameter")->isEnabled());
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
    QCOMPARE(Control<QTabWidget>(w, "pcMain")->currentIndex(), 1);
    QCOMPARE(Control<QLineEdit>(w, "edID01")->text(), QStringLiteral("0005"));
    QCOMPARE(Control<QLineEdit>(w, "edID03")->text(), QStringLiteral("0005"));
    QCOMPARE(Control<QLineEdit>(w, "edtPort")->text(), QString::number(rig.sim().tcpPort()));
    QCOMPARE(Control<QLabel>(w, "pnSN")->text(), QStringLiteral("12345678"));
    QVERIFY(Control<QWidget>(w, "pnlMain")->isEnabled());

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

void MainWindowTest::startupReconnectsOverUdpWithTheStoredDeviceId_data()
{
    QTest::addColumn<bool>("expert");
    QTest::newRow("UDP tab hidden") << false;
    QTest::newRow("UDP tab shown") << true;
}

void MainWindowTest::startupReconnectsOverUdpWithTheStoredDeviceId()
{
    QFETCH(bool, expert);
    WindowRig rig({ControllerData::factory(5)});
    rig.writeSettings({{QStringLiteral("MainActivePage"), QStringLiteral("3")},
                       {QStringLiteral("UdpNo1"), rig.sim().udpPort()},
                       {QStringLiteral("UdpNo2"), 0},
                       {QStringLiteral("UdpIP"), QStringLiteral("127.0.0.1")},
                       {QStringLiteral("DeviceID"), QStringLiteral("5")}});
    StartOptions options;
    options.expert = expert;
    TfrmKT480NT5 &w = rig.open(options);
    QVERIFY(rig.settle());
    QVERIFY2(rig.comm().DeviceConnected(),
             qPrintable(Control<QPlainTextEdit>(w, "Memo1")->toPlainText()));
    QCOMPARE(rig.comm().DeviceIDText(), QStringLiteral("0005"));
    QCOMPARE(Control<QLineEdit>(w, "edID01")->text(), QStringLiteral("0005"));
    QCOMPARE(Control<QLineEdit>(w, "edID02")->text(), QStringLiteral("0005"));
    QCOMPARE(Control<QLineEdit>(w, "edID03")->text(), QStringLiteral("0005"));
    QCOMPARE(w.statusText(),
             QStringLiteral("Communication ok.  127.0.0.1:%1").arg(rig.sim().udpPort()));
}

void MainWindowTest::editsUndoAUdpConnectionAfterARefusedTcpAttempt()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open(Expert());
    QVERIFY(rig.settle());
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const quint16 refusingPort = closed.serverPort();
    closed.close();
    ClickTab(Control<QTabWidget>(w, "pcMain"), 1);
    TypeInto(Control<QLineEdit>(w, "edtIP"), QStringLiteral("127.0.0.1"));
    TypeInto(Control<QLineEdit>(w, "edtPort"), QString::number(refusingPort));
    ClickOnScreen(Control<QPushButton>(w, "btnConnect02"));
    QVERIFY(rig.settle());
    QCOMPARE(w.statusText(), QStringLiteral("Communication Error!"));

    QVERIFY(rig.connectUdp());
    ClickOnScreen(Control<QLineEdit>(w, "edtIPudp"));
    TypeOnScreen(Control<QLineEdit>(w, "edtIPudp"), QStringLiteral("1"));
    QVERIFY2(!rig.comm().DeviceConnected(), "typing in a connection box undoes the connection");
    QVERIFY(FunctionButtonsDisabled(w));
}

void MainWindowTest::closeIsRefusedDuringAConnect()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    ClickTab(Control<QTabWidget>(w, "pcMain"), 1);
    TypeInto(Control<QLineEdit>(w, "edtIP"), QStringLiteral("127.0.0.1"));
    TypeInto(Control<QLineEdit>(w, "edtPort"), QString::number(rig.sim().tcpPort()));
    ClickOnScreen(Control<QPushButton>(w, "btnConnect02"));
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
    TfrmKT480NT5 &w = rig.open(Expert());
    QVERIFY(rig.connectUdp());
    const QString serial = Control<QLabel>(w, "pnSN")->text();
    const QString version = Control<QLabel>(w, "pnVER")->text();
    ClickOnScreen(Control<QPushButton>(w, "btnGB"));
    QCOMPARE(Control<QPushButton>(w, "btnConnect01")->text(), QStringLiteral("联机(&C)"));
    QVERIFY(Control<QPushButton>(w, "btnSdCard")->text().endsWith(QStringLiteral("[128MB]")));
    QVERIFY(Control<QPushButton>(w, "btnSdCard")->text().startsWith(QStringLiteral("SD CARD")));
    QCOMPARE(Control<QLabel>(w, "pnSN")->text(), serial);
    QCOMPARE(Control<QLabel>(w, "pnVER")->text(), version);
    // The status bar follows too, with what follows its text kept.
    const QString where = QStringLiteral("  127.0.0.1:%1").arg(rig.sim().udpPort());
    QCOMPARE(w.statusText(), QStringLiteral("通讯成功.") + where);
    QVERIFY(rig.comm().DeviceConnected());
    QVERIFY(FunctionButtonsEnabled(w));
    QCOMPARE(rig.storedSetting(QStringLiteral("LanguageIndex")).toInt(), 2);
    ClickOnScreen(Control<QPushButton>(w, "btnBIG5"));
    QCOMPARE(Control<QPushButton>(w, "btnConnect02")->text(), QStringLiteral("連線(&C)"));
    QCOMPARE(w.statusText(), QStringLiteral("通訊成功.") + where);
    QCOMPARE(rig.window().context().language.LanguageIndex(), 1);
    QVERIFY(rig.comm().DeviceConnected());
    ClickOnScreen(Control<QPushButton>(w, "btnSyn"));
    ClickOnScreen(Control<QPushButton>(w, "btnEng"));
    QCOMPARE(w.statusText(), QStringLiteral("Sync Date Time: OK!"));
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
    QCOMPARE(Control<QPushButton>(w, "btnConnect01")->text(), connectCaption);
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
        ClickOnScreen(Control<QPushButton>(w, "btnEng"));
        QCOMPARE(rig.storedSetting(QStringLiteral("LanguageIndex")).toInt(), 0);
        QVERIFY(w.close());
    }
    TfrmKT480NT5 &again = rig.open(options);
    QVERIFY(rig.settle());
    QCOMPARE(Control<QPushButton>(again, "btnConnect01")->text(), QStringLiteral("&Connect"));
    QVERIFY(again.close());

    rig.writeSettings({{QStringLiteral("LanguageIndex"), 7}});
    TfrmKT480NT5 &odd = rig.open(options);
    QVERIFY(rig.settle());
    QCOMPARE(Control<QPushButton>(odd, "btnConnect01")->text(), QStringLiteral("&Connect"));
    QCOMPARE(Control<QLabel>(odd, "lblSN")->text(), QStringLiteral("S/N :"));
}

void MainWindowTest::hiddenLogPanelShowsTheLink()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.connectTcp());
    QVERIFY(Control<QWidget>(w, "pnlTest")->isHidden());
    const QSize normal = w.size();
    // The empty stretch of the main panel between Exit and the language buttons.
    const int gapTop = Control<QPushButton>(w, "btnExit")
                           ->mapTo(Control<QWidget>(w, "pnlMain"),
                                   QPoint(0, Control<QPushButton>(w, "btnExit")->height()))
                           .y();
    const int gapBottom =
        Control<QPushButton>(w, "btnEng")->mapTo(Control<QWidget>(w, "pnlMain"), QPoint(0, 0)).y();
    QVERIFY(gapBottom - gapTop > 10);
    const QPoint empty(Control<QWidget>(w, "pnlMain")->width() / 2, (gapTop + gapBottom) / 2);
    QWidget *under = w.childAt(Control<QWidget>(w, "pnlMain")->mapTo(&w, empty));
    QVERIFY(under && !qobject_cast<QAbstractButton *>(under) && !qobject_cast<QLineEdit *>(under));

    for (int click = 0; click < 14; ++click)
        ClickOnScreen(Control<QWidget>(w, "pnlMain"), empty);
    QVERIFY(Control<QWidget>(w, "pnlTest")->isHidden());
    ClickOnScreen(Control<QWidget>(w, "pnlMain"), empty);
    QVERIFY(!Control<QWidget>(w, "pnlTest")->isHidden());
    QCOMPARE(w.size(), QSize(900, normal.height()));

    // The log lies beside the main panel, which keeps its width and all its controls.
    QCOMPARE(Control<QWidget>(w, "pnlMain")->width(), normal.width());
    const QRect log(Control<QWidget>(w, "pnlTest")->mapTo(&w, QPoint(0, 0)),
                    Control<QWidget>(w, "pnlTest")->size());
    QVERIFY(log.width() >= 300);
    for (QWidget *control : std::initializer_list<QWidget *>{
             Control<QTabWidget>(w, "pcMain"), Control<QLineEdit>(w, "edtIP"),
             Control<QLineEdit>(w, "edtPort"), Control<QPushButton>(w, "btnConnect02"),
             Control<QLabel>(w, "pnSN"), Control<QLabel>(w, "pnVER"), Control<QLabel>(w, "pnCur"),
             Control<QPushButton>(w, "btnDeviceTime"), Control<QPushButton>(w, "btnSyn"),
             Control<QPushButton>(w, "btnParameter"), Control<QPushButton>(w, "btnCard"),
             Control<QPushButton>(w, "btnBackup"), Control<QPushButton>(w, "btnRestore"),
             Control<QPushButton>(w, "btnExit"), Control<QPushButton>(w, "btnEng"),
             Control<QPushButton>(w, "btnGB"), Control<QPushButton>(w, "btnBIG5")}) {
        const QRect at(control->mapTo(&w, QPoint(0, 0)), control->size());
        QVERIFY2(control->isVisible() && w.rect().contains(at) && !at.intersects(log) &&
                     control->width() > 20,
                 qPrintable(control->objectName()));
    }
    QVERIFY(Control<QPlainTextEdit>(w, "Memo1")
                ->toPlainText()
                .contains(QStringLiteral("01[0001AS] 12345678(8)")));
    const int lines = Control<QPlainTextEdit>(w, "Memo1")->document()->blockCount();
    QCOMPARE(Control<QLabel>(w, "Panel2")->text(), QStringLiteral("Clear (%1)").arg(lines));

    // Still usable with the log open.
    ClickOnScreen(Control<QPushButton>(w, "btnGB"));
    QCOMPARE(Control<QPushButton>(w, "btnConnect01")->text(), QStringLiteral("联机(&C)"));
    ClickOnScreen(Control<QPushButton>(w, "btnEng"));
    ClickOnScreen(Control<QPushButton>(w, "btnDeviceTime"));
    QVERIFY(
        Control<QPlainTextEdit>(w, "Memo1")->toPlainText().contains(QStringLiteral("[0001AB]")));
    ClickOnScreen(Control<QLabel>(w, "Panel2"));
    QCOMPARE(Control<QLabel>(w, "Panel2")->text(), QStringLiteral("Clear (0)"));

    ClickOnScreen(Control<QWidget>(w, "pnlMain"), empty);
    QVERIFY(Control<QWidget>(w, "pnlTest")->isHidden());
    QCOMPARE(w.size(), normal);
}

void MainWindowTest::fixedBorderCentredOnTheScreen_data()
{
    QTest::addColumn<bool>("expert");
    QTest::newRow("plain") << false;
    // Two more buttons: the window is taller than designed.
    QTest::newRow("expert") << true;
}

void MainWindowTest::fixedBorderCentredOnTheScreen()
{
    QFETCH(bool, expert);
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open(expert ? Expert() : StartOptions());
    QVERIFY(rig.settle());
    QCOMPARE(w.minimumSize(), w.maximumSize());
    if (!expert)
        QCOMPARE(w.size(), QSize(536, 560));
    const QPoint offCentre = w.frameGeometry().center() - w.screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
    // Every language fits the fixed frame: each function button whole, above the language
    // buttons, once the new font has settled.
    for (QPushButton *language :
         {Control<QPushButton>(w, "btnBIG5"), Control<QPushButton>(w, "btnGB"),
          Control<QPushButton>(w, "btnEng"), Control<QPushButton>(w, "btnGB")}) {
        ClickOnScreen(language);
        QTest::qWait(50);
        QVERIFY(Control<QWidget>(w, "pnlMain")->minimumSizeHint().width() <=
                Control<QWidget>(w, "pnlMain")->width());
        QVERIFY2(w.minimumSizeHint().height() <= w.height(),
                 qPrintable(
                     QStringLiteral("%1 > %2").arg(w.minimumSizeHint().height()).arg(w.height())));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        const int languageTop = Control<QPushButton>(w, "btnEng")->mapTo(&w, QPoint(0, 0)).y();
        for (const char *name : {"btnParameter", "btnCard", "btnData", "btnSdCard", "btnBackup",
                                 "btnRestore", "btnExit"}) {
            auto *button = Control<QPushButton>(w, name);
            if (!button->isVisibleTo(&w))
                continue;
            const QRect at(button->mapTo(&w, QPoint(0, 0)), button->size());
            QVERIFY2(button->height() >= button->minimumSizeHint().height() &&
                         at.bottom() < languageTop,
                     qPrintable(QStringLiteral("%1 at %2,%3 %4x%5, language buttons at %6")
                                    .arg(QLatin1String(name))
                                    .arg(at.x())
                                    .arg(at.y())
                                    .arg(at.width())
                                    .arg(at.height())
                                    .arg(languageTop)));
        }
    }
    QVERIFY(KeepPicture(w, QStringLiteral("main-expert-zh-cn.png")));
}

void MainWindowTest::portsAbove65535AreRefused()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open(Expert());
    QVERIFY(rig.settle());
    // A port whose number plus 65536 still fits the five-digit box.
    QTcpServer listening;
    for (quint16 port = 20000; port < 20200 && !listening.isListening(); ++port)
        std::ignore = listening.listen(QHostAddress::LocalHost, port);
    QVERIFY(listening.isListening());
    const int typed = listening.serverPort() + 65536;

    ClickTab(Control<QTabWidget>(w, "pcMain"), 1);
    TypeInto(Control<QLineEdit>(w, "edtIP"), QStringLiteral("127.0.0.1"));
    TypeInto(Control<QLineEdit>(w, "edtPort"), QString::number(typed));
    ClickOnScreen(Control<QPushButton>(w, "btnConnect02"));
    QVERIFY(rig.settle());
    QTest::qWait(100);
    QVERIFY2(!listening.hasPendingConnections(), "the port was cut to 16 bits and connected");
    QVERIFY(!rig.comm().TransportHeld());
    QCOMPARE(w.statusText(), QStringLiteral("Communication Error!  %1 > 65535").arg(typed));
    QCOMPARE(Control<StatusIndicator>(w, "ShapeIndicator")->colour(), QColor(Qt::red));
    QVERIFY(Control<QPushButton>(w, "btnConnect02")->isEnabled() &&
            Control<QWidget>(w, "pnlMain")->isEnabled());

    ClickTab(Control<QTabWidget>(w, "pcMain"), 2);
    TypeInto(Control<QLineEdit>(w, "edtIPudp"), QStringLiteral("127.0.0.1"));
    TypeInto(Control<QLineEdit>(w, "edtUPort01"), QStringLiteral("70000"));
    ClickOnScreen(Control<QPushButton>(w, "btnConnect03"));
    QVERIFY(rig.settle());
    QVERIFY(!rig.comm().TransportHeld());
    QCOMPARE(w.statusText(), QStringLiteral("Communication Error!  70000 > 65535"));
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
    ClickOnScreen(Control<QPushButton>(w, "btnParameter"));
    ClickOnScreen(Control<QPushButton>(w, "btnCard"));
    ClickOnScreen(Control<QPushButton>(w, "btnBackup"));
    ClickOnScreen(Control<QPushButton>(w, "btnRestore"));
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
    ClickOnScreen(process.btnCancel);
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

void MainWindowTest::progressWindowStepsAsideForAQuestion()
{
    WindowRig rig;
    TfrmKT480NT5 &w = rig.open();
    QVERIFY(rig.settle());
    ProgressState &progress = w.context().progress;
    TfrmProcess &process = w.processWindow();
    progress.begin(QStringLiteral("Backup"), QStringLiteral("Reading ..."), 100, true);
    QVERIFY(process.isVisible());

    // The box is answered the way a person answers it, from inside its own modal loop.
    bool progressHiddenWhileAsked = false;
    QString asked;
    QTimer::singleShot(0, &w, [&] {
        QMessageBox *box = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            return box != nullptr;
        }));
        QTest::qWait(250); // a few ticks of the progress window's timer
        progressHiddenWhileAsked = process.isHidden();
        asked = box->text();
        ClickOnScreen(box->button(QMessageBox::Yes));
    });
    QVERIFY(w.context().prompt->question(QStringLiteral("Replace the earlier file?"),
                                         QStringLiteral("System Message")));
    QCOMPARE(asked, QStringLiteral("Replace the earlier file?"));
    QVERIFY2(progressHiddenWhileAsked, "the always-on-top progress window covers the question");
    QVERIFY2(process.isVisible(), "the operation goes on: its progress window comes back");

    // After the operation a message leaves the progress window hidden.
    progress.end();
    QTimer::singleShot(0, &w, [&] {
        QMessageBox *box = nullptr;
        QVERIFY(QTest::qWaitFor([&] {
            box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            return box != nullptr;
        }));
        ClickOnScreen(box->button(QMessageBox::Ok));
    });
    w.context().prompt->message(QStringLiteral("OK!"), QStringLiteral("System Message"));
    QVERIFY(process.isHidden());

    // Escape on the progress window does not hide it while the operation runs.
    progress.begin(QStringLiteral("Backup"), QString(), 100, true);
    QVERIFY(QTest::qWaitForWindowExposed(&process));
    KeyOnScreen(&process, Qt::Key_Escape);
    QVERIFY(!process.close());
    QVERIFY(process.isVisible());
    progress.end();
}

// A newcomer's first look at the demo: Card data and Record data each read something.
void MainWindowTest::demoHoldsCardsAndEvents()
{
    DemoSession demo{QString()};
    QVERIFY2(demo.isRunning(), qPrintable(demo.errorString()));
    AppContext context(demo.settingsFilePath());
    context.prompt = std::make_unique<ScriptedPrompt>();
    TfrmKT480NT5 w(context, Expert());
    new WindowLauncher(w);
    w.show();
    QVERIFY(
        QTest::qWaitFor([&] { return context.comm.DeviceConnected() && !w.connecting(); }, 20000));
    int cards = 0;
    QVERIFY(WhileModal<TfrmCardData>([&] { ClickOnScreen(Control<QPushButton>(w, "btnCard")); },
                                     [&](TfrmCardData &window) {
                                         ClickOnScreen(Control<QPushButton>(window, "btnBackup"));
                                         cards = window.table().RecordCount();
                                     }));
    QVERIFY2(cards > 0, "the demo controller holds no cards");
    int events = 0;
    QVERIFY(WhileModal<TfrmIOdata>([&] { ClickOnScreen(Control<QPushButton>(w, "btnData")); },
                                   [&](TfrmIOdata &window) {
                                       QVERIFY(QTest::qWaitFor(
                                           [&] { return window.pnl->isEnabled(); }, 10000));
                                       ClickOnScreen(window.btnDeviceRead);
                                       events = window.table().RecordCount();
                                   }));
    QVERIFY2(events > 0, "the demo controller holds no events");
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
