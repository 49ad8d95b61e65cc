// The connection controller without a window, against the simulator: the start-up restore
// and automatic connect, the TCP time-out, the edits and tabs that undo a connection, Get and
// Syn, the automatic clock read, and the hand-over from the search windows.
#include "ConnectionController.h"

#include <Comm.h>
#include <Language.h>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <Settings.h>
#include <SharedFlag.h>
#include <SimulatorHost.h>

namespace {

// One controller driven as the main window drives it, its settings in a file of its own,
// its clock standing still at `now` unless a test moves it.
struct Site
{
    explicit Site(const QList<ControllerData> &controllers = {ControllerData::factory(1)},
                  bool serial = false)
    {
        SimulatorConfig config;
        config.tcpPort = config.udpPort = 0;
        config.serial = serial;
        config.controllers = controllers;
        sim = std::make_unique<SimulatorHost>(config);
        settings = std::make_unique<Settings>(dir.filePath(QStringLiteral("settings.ini")));
        QObject::connect(&comm, &Comm::logLine, [this](const QString &line) { log << line; });
    }

    ConnectionController &open()
    {
        controller = std::make_unique<ConnectionController>(comm, *settings, language, paused,
                                                            [this] { return now; });
        QObject::connect(controller.get(), &ConnectionController::indicatorChanged,
                         [this](ConnectionIndicator state) { indicator << state; });
        QObject::connect(controller.get(), &ConnectionController::statusChanged,
                         [this](const QString &text) { statuses << text; });
        return *controller;
    }

    // Settings loaded and the first clock tick run, as when the window is shown.
    ConnectionController &start()
    {
        open().loadSettings();
        controller->startClock();
        return *controller;
    }

    bool settle() const
    {
        return QTest::qWaitFor([this] { return controller->initialised() && !connecting(); },
                               20000);
    }
    bool connecting() const { return controller->connecting(); }

    // Typed into the TCP tab, then Connect.
    bool connectTcp(const QString &deviceId = QStringLiteral("1"))
    {
        controller->showTab(ConnectionTab::Tcp);
        controller->boxEdited(ConnectionField::TcpHost, QStringLiteral("127.0.0.1"));
        controller->boxEdited(ConnectionField::TcpPort, QString::number(sim->tcpPort()));
        controller->boxEdited(ConnectionField::DeviceId02, deviceId);
        controller->connectTcp();
        return QTest::qWaitFor([this] { return !connecting(); }, 20000) && comm.DeviceConnected();
    }

    int exchanges(const QString &code) const
    {
        int count = 0;
        for (const QString &line : log)
            count += line.contains(code) ? 1 : 0;
        return count;
    }

    QTemporaryDir dir;
    std::unique_ptr<SimulatorHost> sim;
    std::unique_ptr<Settings> settings;
    Comm comm;
    Language language;
    SharedFlag paused;
    QDateTime now{QDate(2008, 9, 22), QTime(14, 5, 0)};
    std::unique_ptr<ConnectionController> controller;
    QStringList log;
    QStringList statuses;
    QList<ConnectionIndicator> indicator;
};

// A TCP server that never completes a connection: its one-place queue holds another client,
// so the attempt's handshake gets no answer.
struct SilentServer
{
    SilentServer()
    {
        server.setMaxPendingConnections(0);
        server.setListenBacklogSize(0);
        if (!server.listen(QHostAddress::LocalHost))
            return;
        filler.connectToHost(QHostAddress::LocalHost, server.serverPort());
        std::ignore = filler.waitForConnected(2000);
    }
    quint16 port() const { return server.serverPort(); }

    QTcpServer server;
    QTcpSocket filler;
};

} // namespace

class ConnectionControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void startupRestoresTheBoxesAndConnectsByItself();
    void firstStartWithoutSettingsReachesNothing();
    void tcpAttemptWithoutAnAnswerEndsAfterItsTimeOut();
    void editsAndTabsUndoAConnectionOnceInitialised();
    void getAndSyncReportTheirOutcome();
    void clockReplyThatIsNoDateIsNotShown();
    void automaticReadNeverClosesALinkAnotherOperationUses();
    void automaticReadOnlyOverTcp();
    void searchHandsItsControllerOver();
};

void ConnectionControllerTest::startupRestoresTheBoxesAndConnectsByItself()
{
    Site site({ControllerData::factory(5)});
    site.settings->SaveSetting(QStringLiteral("MainActivePage"), QStringLiteral("2"));
    site.settings->saveInt(QStringLiteral("NetNo"), site.sim->tcpPort());
    site.settings->SaveSetting(QStringLiteral("NetIP"), QStringLiteral("127.0.0.1"));
    site.settings->SaveSetting(QStringLiteral("DeviceID"), QStringLiteral("5"));
    site.settings->sync();
    ConnectionController &c = site.open();
    QSignalSpy tabs(&c, &ConnectionController::tabSelected);
    QSignalSpy functions(&c, &ConnectionController::functionButtonsEnabledChanged);
    QCOMPARE(c.loadSettings().tcpPort, int(site.sim->tcpPort()));
    QCOMPARE(tabs.value(0).value(0).value<ConnectionTab>(), ConnectionTab::Tcp);
    QCOMPARE(c.activeTab(), ConnectionTab::Tcp);
    QVERIFY(!c.initialised());
    c.startClock();
    QVERIFY(site.settle());
    QVERIFY(site.comm.DeviceConnected());
    for (const ConnectionField box :
         {ConnectionField::DeviceId01, ConnectionField::DeviceId02, ConnectionField::DeviceId03})
        QCOMPARE(c.box(box), QStringLiteral("0005"));
    QCOMPARE(c.box(ConnectionField::TcpHost), QStringLiteral("127.0.0.1"));
    QCOMPARE(c.box(ConnectionField::TcpPort), QString::number(site.sim->tcpPort()));
    QCOMPARE(c.box(ConnectionField::UdpDestinationPort), QStringLiteral("5001"));
    QCOMPARE(c.serialNumberText(), QStringLiteral("12345678"));
    QCOMPARE(c.versionText(), QStringLiteral("KT480NT-V5.04"));
    QVERIFY(!c.deviceTimeText().isEmpty());
    QCOMPARE(c.systemTimeText(), QStringLiteral("2008/09/22   14:05:00"));
    QCOMPARE(c.statusText(),
             QStringLiteral("Communication ok.  127.0.0.1:%1").arg(site.sim->tcpPort()));
    QCOMPARE(site.indicator,
             (QList{ConnectionIndicator::Blinking, ConnectionIndicator::Connected}));
    QVERIFY(c.functionButtonsEnabled());
    QCOMPARE(functions.last().value(0).toBool(), true);

    // The same settings without the automatic connect: the boxes, but no link.
    Site quiet({ControllerData::factory(5)});
    quiet.settings->SaveSetting(QStringLiteral("MainActivePage"), QStringLiteral("2"));
    quiet.settings->saveInt(QStringLiteral("NetNo"), quiet.sim->tcpPort());
    quiet.settings->sync();
    quiet.open().setAutomaticConnect(false);
    quiet.controller->loadSettings();
    quiet.controller->startClock();
    QVERIFY(quiet.settle());
    QCOMPARE(quiet.controller->box(ConnectionField::TcpPort),
             QString::number(quiet.sim->tcpPort()));
    QVERIFY(!quiet.comm.TransportHeld());
    QVERIFY(quiet.log.isEmpty());
}

void ConnectionControllerTest::firstStartWithoutSettingsReachesNothing()
{
    Site site;
    ConnectionController &c = site.open();
    c.setBoxText(ConnectionField::DeviceId01, QStringLiteral("7"));
    const ConnectionSettings stored = c.loadSettings();
    QVERIFY(!stored.languageIndex);
    c.startClock();
    QVERIFY(site.settle());
    QCOMPARE(c.activeTab(), ConnectionTab::Serial);
    QCOMPARE(c.box(ConnectionField::DeviceId03), QStringLiteral("0007"));
    QCOMPARE(site.comm.DeviceIDText(), QStringLiteral("0007"));
    QCOMPARE(c.box(ConnectionField::BaudRate), QStringLiteral("19200,e,8,1"));
    QCOMPARE(c.box(ConnectionField::TcpHost), QStringLiteral("192.168.1.101"));
    QCOMPARE(c.box(ConnectionField::TcpPort), QStringLiteral("5001"));
    QCOMPARE(c.box(ConnectionField::UdpLocalPort), QStringLiteral("5001"));
    QCOMPARE(c.serialNumberText(), QStringLiteral("________"));
    QCOMPARE(c.versionText(), QStringLiteral("__.__-__"));
    QVERIFY(!site.comm.TransportHeld());
    QVERIFY(site.log.isEmpty());
    QVERIFY(site.indicator.isEmpty());
}

// A handshake that never completes keeps the attempt running, counting down in the status
// bar, until the time-out abandons it.
void ConnectionControllerTest::tcpAttemptWithoutAnAnswerEndsAfterItsTimeOut()
{
    SilentServer silent;
    QVERIFY(silent.server.isListening());
    Site site;
    ConnectionController &c = site.start();
    QVERIFY(site.settle());
    c.setTcpTimeout(2);
    c.boxEdited(ConnectionField::TcpHost, QStringLiteral(" 127.0.0.1 "));
    c.boxEdited(ConnectionField::TcpPort, QString::number(silent.port()));
    QElapsedTimer attempt;
    attempt.start();
    c.connectTcp();
    QCOMPARE(c.box(ConnectionField::TcpHost), QStringLiteral("127.0.0.1"));
    QVERIFY(c.connecting());
    QVERIFY(QTest::qWaitFor([&] { return !c.connecting(); }, 10000));
    QVERIFY2(attempt.elapsed() >= 1900, qPrintable(QString::number(attempt.elapsed())));
    QVERIFY(site.statuses.contains(QStringLiteral("Scanning ... 2")));
    QVERIFY(site.statuses.contains(QStringLiteral("Scanning ... 1")));
    QCOMPARE(c.statusText(), QStringLiteral("Communication Error!"));
    QCOMPARE(site.indicator.last(), ConnectionIndicator::Failed);
    QVERIFY(!site.comm.TransportHeld());
    QVERIFY(!c.functionButtonsEnabled());
    QCOMPARE(c.box(ConnectionField::ComPort), c.ports().value(0, c.box(ConnectionField::ComPort)));
}

void ConnectionControllerTest::editsAndTabsUndoAConnectionOnceInitialised()
{
    // Before the first tick nothing the person types undoes anything.
    Site early;
    ConnectionController &e = early.open();
    QVERIFY(early.connectTcp());
    e.boxEdited(ConnectionField::TcpPort, QStringLiteral("1"));
    e.boxEdited(ConnectionField::BaudRate, QStringLiteral("9600,n,8,1"));
    QVERIFY(early.comm.DeviceConnected());

    Site site;
    ConnectionController &c = site.start();
    QVERIFY(site.settle());
    QVERIFY(site.connectTcp());
    QSignalSpy functions(&c, &ConnectionController::functionButtonsEnabledChanged);
    c.setBoxText(ConnectionField::DeviceId02, QStringLiteral("0001"));
    QVERIFY2(site.comm.DeviceConnected(), "the program's own writes keep the connection");
    c.boxEdited(ConnectionField::DeviceId02, QStringLiteral("12"));
    QVERIFY(!site.comm.DeviceConnected());
    QVERIFY(!site.comm.TransportHeld());
    QCOMPARE(c.statusText(), QString());
    QCOMPARE(functions.last().value(0).toBool(), false);

    // A port choice also forgets the port that last answered.
    QVERIFY(site.connectTcp());
    c.boxEdited(ConnectionField::ComPort, QStringLiteral("COM99"));
    QVERIFY(!site.comm.DeviceConnected());

    // Typing while a connect rewrites the boxes undoes nothing.
    c.boxEdited(ConnectionField::TcpPort, QString::number(site.sim->tcpPort()));
    c.connectTcp();
    QVERIFY(c.connecting());
    c.boxEdited(ConnectionField::DeviceId01, QStringLiteral("3"));
    QVERIFY(QTest::qWaitFor([&] { return !c.connecting(); }, 10000));
    QVERIFY(site.comm.DeviceConnected());

    QSignalSpy connectButtons(&c, &ConnectionController::connectButtonsEnabledChanged);
    c.showTab(ConnectionTab::Serial);
    QVERIFY2(!site.comm.DeviceConnected(), "a tab switch closes the link");
    QVERIFY(!site.comm.TransportHeld());
    QCOMPARE(connectButtons.last().value(0).toBool(), true);
    QCOMPARE(site.settings->LoadSetting(QStringLiteral("MainActivePage")), QStringLiteral("1"));
}

void ConnectionControllerTest::getAndSyncReportTheirOutcome()
{
    Site site({ControllerData::factory(12)});
    ConnectionController &c = site.start();
    QVERIFY(site.settle());
    QVERIFY(site.connectTcp(QStringLiteral("12")));
    QSignalSpy boxes(&c, &ConnectionController::boxChanged);
    QSignalSpy connecting(&c, &ConnectionController::connectingChanged);
    site.now = QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6));
    c.syncDeviceTime();
    QCOMPARE(c.statusText(), QStringLiteral("Sync Date Time: OK!"));
    QCOMPARE(site.exchanges(QStringLiteral("[0012AA20010203040506]")), 30);
    QVERIFY2(c.deviceTimeText().startsWith(QStringLiteral("2001/02/03   04:0")),
             qPrintable(c.deviceTimeText()));
    QCOMPARE(connecting.first().value(0).toBool(), true);
    QCOMPARE(connecting.last().value(0).toBool(), false);
    // The Device ID comes from the box of the tab showing, into the serial and TCP boxes.
    QList<ConnectionField> written;
    for (const QList<QVariant> &change : boxes)
        written << change.value(0).value<ConnectionField>();
    QVERIFY(written.contains(ConnectionField::DeviceId01) &&
            written.contains(ConnectionField::DeviceId02));
    QVERIFY(!written.contains(ConnectionField::DeviceId03));

    // A controller that refuses every set keeps its clock and its link.
    FaultSettings refused;
    refused.errorCodes.insert("AA", 'B');
    site.sim->setFaults(refused);
    site.now = QDateTime(QDate(2011, 10, 28), QTime(9, 0, 0));
    c.syncDeviceTime();
    QCOMPARE(c.statusText(), QStringLiteral("Sync Date Time: Error!"));
    QVERIFY(!c.deviceTimeText().startsWith(QStringLiteral("2011")));
    QVERIFY(site.comm.DeviceConnected());

    // Five reads without a reply are a lost controller.
    FaultSettings silent;
    silent.silentCodes = {QByteArray("AB")};
    site.sim->setFaults(silent);
    c.getDeviceTime();
    QVERIFY(!site.comm.DeviceConnected());
    QVERIFY(!site.comm.TransportHeld());
    QCOMPARE(c.statusText(), QStringLiteral("Communication Error!"));
    QCOMPARE(site.indicator.last(), ConnectionIndicator::Failed);
    QVERIFY(!c.functionButtonsEnabled());

    // Without a controller Get and Syn send nothing.
    const int sent = site.log.size();
    c.getDeviceTime();
    c.syncDeviceTime();
    QCOMPARE(site.log.size(), sent);
}

// A controller that answers the clock read with something that is no date: the panel keeps
// the last clock it showed, and the read counts as failed, as one without a reply does.
void ConnectionControllerTest::clockReplyThatIsNoDateIsNotShown()
{
    Site site;
    ConnectionController &c = site.start();
    QVERIFY(site.settle());
    QVERIFY(site.connectTcp());
    const QString shown = c.deviceTimeText();
    QVERIFY(!shown.isEmpty());
    QSignalSpy changes(&c, &ConnectionController::deviceTimeChanged);
    FaultSettings garbled;
    garbled.replacedData.insert("AB", "ABCDEFGHIJKLMN");
    site.sim->setFaults(garbled);
    c.getDeviceTime();
    QCOMPARE(changes.count(), 0);
    QCOMPARE(c.deviceTimeText(), shown);
    QVERIFY(!site.comm.DeviceConnected());
    QCOMPARE(c.statusText(), QStringLiteral("Communication Error!"));
}

void ConnectionControllerTest::automaticReadNeverClosesALinkAnotherOperationUses()
{
    Site site;
    ConnectionController &c = site.start();
    QVERIFY(site.settle());
    QVERIFY(site.connectTcp());
    site.now = QDateTime(QDate(2008, 9, 22), QTime(14, 5, 9));
    FaultSettings holdTheLink;
    holdTheLink.silentCodes = {QByteArray("ZZ")};
    site.sim->setFaults(holdTheLink);

    // The read comes due while another operation waits for its reply: it is refused.
    int ticks = 0;
    QTimer::singleShot(20, &c, [&] {
        c.tmrClockTimer();
        ++ticks;
    });
    QCOMPARE(site.comm.CommExchange(QStringLiteral("0001ZZ"), 6), int(Comm::TimedOut));
    QCOMPARE(ticks, 1);
    QVERIFY(site.comm.DeviceConnected());
    QVERIFY(site.comm.TcpConnected());
    QVERIFY(c.functionButtonsEnabled());
    QVERIFY(c.statusText().startsWith(QStringLiteral("Communication ok.")));

    // Paused by another window, or not on a second ending in 9: no read at all.
    const int reads = site.exchanges(QStringLiteral("[0001AB]"));
    site.paused.set(true);
    c.tmrClockTimer();
    site.paused.set(false);
    site.now = site.now.addSecs(1);
    c.tmrClockTimer();
    QCOMPARE(site.exchanges(QStringLiteral("[0001AB]")), reads);
    site.now = site.now.addSecs(9);
    c.tmrClockTimer();
    QCOMPARE(site.exchanges(QStringLiteral("[0001AB]")), reads + 1);
}

void ConnectionControllerTest::automaticReadOnlyOverTcp()
{
    Site site;
    ConnectionController &c = site.start();
    QVERIFY(site.settle());
    c.showTab(ConnectionTab::Udp);
    c.boxEdited(ConnectionField::UdpHost, QStringLiteral("127.0.0.1"));
    c.boxEdited(ConnectionField::UdpDestinationPort, QString::number(site.sim->udpPort()));
    c.boxEdited(ConnectionField::UdpLocalPort, QStringLiteral("0"));
    c.connectUdp();
    QVERIFY(site.comm.DeviceConnected());
    QCOMPARE(c.sdCardLabel(), QStringLiteral("[128MB]"));
    const int reads = site.exchanges(QStringLiteral("AB]"));
    site.now = QDateTime(QDate(2008, 9, 22), QTime(14, 5, 19));
    c.tmrClockTimer();
    QCOMPARE(site.exchanges(QStringLiteral("AB]")), reads);
    c.getDeviceTime();
    QCOMPARE(site.exchanges(QStringLiteral("AB]")), reads + 1);
}

// The link is closed while a search window runs; what it found goes into the boxes and is
// connected to, anything else leaves the link closed.
void ConnectionControllerTest::searchHandsItsControllerOver()
{
    Site site({ControllerData::factory(5)}, true);
    qputenv("KT480_COM_MAP", QByteArray("7=") + site.sim->serialPath().toLocal8Bit());
    const auto unmap = qScopeGuard([] { qunsetenv("KT480_COM_MAP"); });
    ConnectionController &c = site.start();
    QVERIFY(site.settle());
    QVERIFY(site.connectTcp(QStringLiteral("5")));

    std::optional<ControllerHit> found;
    bool linkClosedDuringSearch = false;
    QList<ConnectionTab> searched;
    connect(&c, &ConnectionController::searchRequested, this, [&](ConnectionTab tab) {
        searched << tab;
        linkClosedDuringSearch = !site.comm.TransportHeld() && !site.comm.DeviceConnected();
        if (found)
            c.takeSearchResult(*found);
    });

    c.searchNetwork();
    QCOMPARE(searched, QList{ConnectionTab::Tcp});
    QVERIFY(linkClosedDuringSearch);
    QVERIFY(!site.comm.TransportHeld());

    ControllerHit network;
    network.transport = ControllerHit::Transport::Tcp;
    network.address = QStringLiteral("127.0.0.1");
    network.portNumber = site.sim->tcpPort();
    network.deviceId = QStringLiteral("0005");
    found = network;
    c.boxEdited(ConnectionField::TcpPort, QStringLiteral("1"));
    c.searchNetwork();
    QVERIFY(QTest::qWaitFor([&] { return !c.connecting(); }, 10000));
    QVERIFY(site.comm.DeviceConnected());
    QCOMPARE(c.box(ConnectionField::TcpPort), QString::number(site.sim->tcpPort()));
    QCOMPARE(c.box(ConnectionField::DeviceId03), QStringLiteral("0005"));

    // A serial hit does not answer the network search.
    ControllerHit serial;
    serial.transport = ControllerHit::Transport::Serial;
    serial.portNumber = 7;
    serial.lineSettings = QStringLiteral("19200,e,8,1");
    serial.deviceId = QStringLiteral("0005");
    found = serial;
    c.searchNetwork();
    QVERIFY(!site.comm.TransportHeld());

    c.showTab(ConnectionTab::Serial);
    c.boxEdited(ConnectionField::BaudRate, QStringLiteral("9600,n,8,1"));
    c.searchSerial();
    QCOMPARE(searched.last(), ConnectionTab::Serial);
    QVERIFY2(site.comm.DeviceConnected(), qPrintable(site.log.join(QLatin1Char('\n'))));
    QCOMPARE(c.box(ConnectionField::ComPort), QStringLiteral("COM7"));
    QCOMPARE(c.box(ConnectionField::BaudRate), QStringLiteral("19200,e,8,1"));
    QCOMPARE(c.statusText(), QStringLiteral("Communication ok.  COM:7"));
    QCOMPARE(site.settings->loadInt(QStringLiteral("CommNo"), 0), 7);
}

QTEST_GUILESS_MAIN(ConnectionControllerTest)
#include "test_connection_controller.moc"
