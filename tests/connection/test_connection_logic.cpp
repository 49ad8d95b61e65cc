// The connection's pieces without widgets: Device ID, SD card labels, clock commands and the
// automatic read rule, stored connection settings, the port list, identification and the clock.
#include "ConnectionSettings.h"
#include "DeviceClock.h"
#include "DeviceId.h"
#include "Identification.h"
#include "SdCardLabel.h"
#include "SerialPortList.h"

#include <Comm.h>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <Settings.h>
#include <SimulatorHost.h>

class ConnectionLogicTest : public QObject
{
    Q_OBJECT

private slots:
    void deviceIdIsFourDigits();
    void sdCardLabels();
    void clockCommandsAndTexts();
    void automaticReadRule();
    void settingsRoundTripPerTransport();
    void missingSettingsKeepDefaults();
    void portNumbersStayWithTheirDevice();
    void broadcastIdTakesOverOverTcp();
    void clockReadRefusedWhileLinkBusyIsNotAFailure();
    void syncBuildsEachCommandFromOneReading();
    void syncReportsWhetherTheClockWasSet();
    void syncEndsWhenTheControllerIsSilent();
    void clockReplyThatIsNoDateIsNoClock_data();
    void clockReplyThatIsNoDateIsNoClock();
    void sdCardQuestionIsAskedAgain();
};

namespace {

// A simulator with one controller and a link to it over TCP.
struct ClockSite
{
    ClockSite()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        sim = std::make_unique<SimulatorHost>(config);
        comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim->tcpPort());
        QObject::connect(&comm, &Comm::logLine, [this](const QString &line) {
            if (line.contains(QLatin1String("AA")))
                setCommands << line.mid(line.indexOf('[') + 1,
                                        line.indexOf(']') - line.indexOf('[') - 1);
        });
    }
    qint64 offsetMs() { return sim->controller().snapshot().clockOffsetMs; }

    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    QStringList setCommands;
};

} // namespace

void ConnectionLogicTest::deviceIdIsFourDigits()
{
    QCOMPARE(NormaliseDeviceId(QStringLiteral("12")), QStringLiteral("0012"));
    QCOMPARE(NormaliseDeviceId(QStringLiteral("7")), QStringLiteral("0007"));
    QCOMPARE(NormaliseDeviceId(QString()), QStringLiteral("0001"));
    QCOMPARE(NormaliseDeviceId(QStringLiteral("abc")), QStringLiteral("0001"));
    QCOMPARE(NormaliseDeviceId(QStringLiteral(" 0042 ")), QStringLiteral("0042"));
    // Five digits (a stored setting, the UDP tab's wider box) would shift every command.
    QCOMPARE(NormaliseDeviceId(QStringLiteral("12345")), QStringLiteral("0001"));
    QCOMPARE(NormaliseDeviceId(QStringLiteral("9999")), QStringLiteral("9999"));
}

void ConnectionLogicTest::sdCardLabels()
{
    QCOMPARE(SdCardLabelForSectors(0), QString());
    QCOMPARE(SdCardLabelForSectors(262144), QStringLiteral("[128MB]"));
    QCOMPARE(SdCardLabelForSectors(262145), QStringLiteral("[256MB]"));
    QCOMPARE(SdCardLabelForSectors(2097152), QStringLiteral("[1.0GB]"));
    QCOMPARE(SdCardLabelForSectors(8388608), QStringLiteral("[4.0GB]"));
    QCOMPARE(SdCardLabelForSectors(5000LL * 2048), QStringLiteral("[5000MB]"));
    // Status, a four-digit count, then seven digits of sectors.
    QCOMPARE(SdCardLabelFromReply(QStringLiteral("000000262144")), QStringLiteral("[128MB]"));
    QCOMPARE(SdCardLabelFromReply(QStringLiteral("000009999999")), QStringLiteral("[4882MB]"));
    QCOMPARE(SdCardLabelFromReply(QStringLiteral("000000000000")), QString());
    QCOMPARE(SdCardLabelFromReply(QStringLiteral("00000abcdefg")), QString());
    QCOMPARE(SdCardLabelFromReply(QStringLiteral("00000262144")), QString());
}

void ConnectionLogicTest::clockCommandsAndTexts()
{
    const QDateTime moment(QDate(2008, 9, 22), QTime(14, 5, 9));
    QCOMPARE(DeviceClock::SetCommand(QStringLiteral("0001"), moment),
             QStringLiteral("0001AA20080922140509"));
    QCOMPARE(DeviceClock::DateTimeText(moment), QStringLiteral("2008/09/22   14:05:09"));
    QCOMPARE(DeviceClock::DateTimeTextFromReply(QStringLiteral(" 20080922140509 ")),
             QStringLiteral("2008/09/22   14:05:09"));
    QCOMPARE(DeviceClock::DateTimeTextFromReply(QStringLiteral("200809")),
             QStringLiteral("2008/09/   ::"));
    QCOMPARE(DeviceClock::ReadCommand(QStringLiteral("0003"), QStringLiteral("KT480NT-V5.04")),
             QStringLiteral("0003AB"));
    QCOMPARE(DeviceClock::ReadCommand(QStringLiteral("0003"), QStringLiteral("kt760nt-v1.0")),
             QStringLiteral("0003QB"));
}

void ConnectionLogicTest::automaticReadRule()
{
    AutomaticClockRead rule{true, true, true, false, 9};
    QVERIFY(rule.due());
    for (const int second : {19, 29, 39, 49, 59}) {
        rule.second = second;
        QVERIFY(rule.due());
    }
    rule.second = 10;
    QVERIFY(!rule.due());
    rule.second = 9;
    rule.paused = true;
    QVERIFY(!rule.due());
    rule.paused = false;
    rule.tcpTabActive = false;
    QVERIFY2(!rule.due(), "serial and UDP connections are read only on demand");
    rule.tcpTabActive = true;
    rule.tcpConnectionOpen = false;
    QVERIFY(!rule.due());
    rule.tcpConnectionOpen = true;
    rule.deviceConnected = false;
    QVERIFY(!rule.due());
}

void ConnectionLogicTest::settingsRoundTripPerTransport()
{
    const QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("s.ini")));
    ConnectionSettings connection;
    connection.portNumber = 4;
    connection.baudRate = QStringLiteral("9600,n,8,1");
    connection.tcpPort = 6001;
    connection.tcpHost = QStringLiteral("127.0.0.1");
    connection.udpDestinationPort = 7001;
    connection.udpLocalPort = 7002;
    connection.udpHost = QStringLiteral("127.0.0.2");

    SaveConnectionSettings(settings, ConnectionTab::Tcp, connection, QStringLiteral("0012"));
    ConnectionSettings loaded = ConnectionSettings::Load(settings);
    QCOMPARE(loaded.portNumber, 0);
    QCOMPARE(loaded.tcpPort, 6001);
    QCOMPARE(loaded.tcpHost, QStringLiteral("127.0.0.1"));
    QCOMPARE(loaded.udpDestinationPort, 0);
    QCOMPARE(loaded.udpLocalPort, 5001);
    QCOMPARE(loaded.deviceId.value_or(QString()), QStringLiteral("0012"));

    SaveConnectionSettings(settings, ConnectionTab::Udp, connection, QStringLiteral("0003"));
    loaded = ConnectionSettings::Load(settings);
    QCOMPARE(loaded.tcpPort, 0);
    QCOMPARE(loaded.udpDestinationPort, 7001);
    QCOMPARE(loaded.udpLocalPort, 7002);
    QCOMPARE(loaded.udpHost, QStringLiteral("127.0.0.2"));

    SaveConnectionSettings(settings, ConnectionTab::Serial, connection, QStringLiteral("0003"));
    loaded = ConnectionSettings::Load(settings);
    QCOMPARE(loaded.portNumber, 4);
    QCOMPARE(loaded.baudRate, QStringLiteral("9600,n,8,1"));
    QCOMPARE(loaded.udpDestinationPort, 0);

    settings.SaveSetting(QStringLiteral("MainActivePage"), QStringLiteral("3"));
    settings.saveInt(QStringLiteral("LanguageIndex"), 9);
    loaded = ConnectionSettings::Load(settings);
    QCOMPARE(loaded.startTab, ConnectionTab::Udp);
    QCOMPARE(loaded.languageIndex.value_or(-1), 9);
    QCOMPARE(ConnectionTabFromText(QStringLiteral("x")), ConnectionTab::Serial);
    QCOMPARE(ConnectionTabFromText(QStringLiteral("2")), ConnectionTab::Tcp);
}

void ConnectionLogicTest::missingSettingsKeepDefaults()
{
    const QTemporaryDir dir;
    const Settings settings(dir.filePath(QStringLiteral("none.ini")));
    const ConnectionSettings loaded = ConnectionSettings::Load(settings);
    QCOMPARE(loaded.portNumber, 0);
    QCOMPARE(loaded.baudRate, QStringLiteral("19200,e,8,1"));
    QCOMPARE(loaded.tcpHost, QStringLiteral("192.168.1.101"));
    QCOMPARE(loaded.udpLocalPort, 5001);
    QVERIFY(!loaded.deviceId);
    QVERIFY(!loaded.languageIndex);
    QCOMPARE(loaded.startTab, ConnectionTab::Serial);
    QCOMPARE(PortFromText(QStringLiteral("x")), 5001);
}

void ConnectionLogicTest::portNumbersStayWithTheirDevice()
{
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("ports.ini"));
    qputenv("KT480_COM_MAP", "3=/dev/pts/77");
    {
        Settings settings(file);
        ComPortMap map;
        const QStringList ports = SerialPortList(settings).Build(
            {QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyS0"),
             QStringLiteral("/dev/pts/9"), QStringLiteral("/dev/pts/77")},
            map);
        QCOMPARE(ports, QStringList({QStringLiteral("COM1"), QStringLiteral("COM2"),
                                     QStringLiteral("COM3"), QStringLiteral("COM100")}));
        QCOMPARE(map.devicePath(3), QStringLiteral("/dev/pts/77"));
        QCOMPARE(map.devicePath(2), QStringLiteral("/dev/pts/9"));
    }
    // Next run: the ports come in another order and one is gone; numbers stay.
    Settings settings(file);
    ComPortMap map;
    const QStringList ports = SerialPortList(settings).Build(
        {QStringLiteral("/dev/pts/9"), QStringLiteral("/dev/ttyUSB0")}, map);
    QCOMPARE(ports, QStringList({QStringLiteral("COM2"), QStringLiteral("COM3"),
                                 QStringLiteral("COM100")}));
    QCOMPARE(map.devicePath(2), QStringLiteral("/dev/pts/9"));
    QCOMPARE(map.devicePath(100), QStringLiteral("/dev/ttyUSB0"));
    qunsetenv("KT480_COM_MAP");
}

void ConnectionLogicTest::broadcastIdTakesOverOverTcp()
{
    SimulatorConfig config;
    config.tcpPort = 0;
    config.controllers = {ControllerData::factory(5)};
    SimulatorHost sim(config);
    QVERIFY2(sim.isRunning(), qPrintable(sim.errorString()));
    Comm comm;
    comm.setDeviceIDText(QStringLiteral("0001"));
    QVERIFY(comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort()));
    QTRY_VERIFY(comm.TcpConnected());
    const IdentifyResult result = Identifier(comm).IdentifyTcp();
    QVERIFY(result.connected);
    QCOMPARE(result.broadcastDeviceId, QStringLiteral("0005"));
    QCOMPARE(comm.DeviceIDText(), QStringLiteral("0005"));
    QCOMPARE(result.serialNumber, QStringLiteral("12345678"));
    QCOMPARE(result.version, QStringLiteral("KT480NT-V5.04"));
    QVERIFY(comm.DeviceConnected());
}

void ConnectionLogicTest::clockReadRefusedWhileLinkBusyIsNotAFailure()
{
    SimulatorConfig config;
    config.tcpPort = 0;
    config.faults.silentCodes = {QByteArray("ZZ")};
    SimulatorHost sim(config);
    QVERIFY(sim.isRunning());
    Comm comm;
    QVERIFY(comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim.tcpPort()));
    QTRY_VERIFY(comm.TcpConnected());
    DeviceClock clock(comm);
    QString text;
    QCOMPARE(clock.Read(QString(), text), DeviceClock::ReadOutcome::Read);
    QVERIFY(!text.isEmpty());

    DeviceClock::ReadOutcome nested = DeviceClock::ReadOutcome::Read;
    QTimer::singleShot(20, &comm, [&] {
        QString ignored;
        nested = clock.Read(QString(), ignored);
    });
    QCOMPARE(comm.CommExchange(QStringLiteral("0001ZZ"), 6), int(Comm::TimedOut));
    QCOMPARE(nested, DeviceClock::ReadOutcome::Refused);

    FaultSettings silent;
    silent.silentCodes = {QByteArray("AB")};
    sim.setFaults(silent);
    QCOMPARE(clock.Read(QString(), text), DeviceClock::ReadOutcome::Failed);
}

// Every set command carries one reading of the clock, so none mixes the fields of two moments
// (here the clock passes midnight at the end of a month while the commands go out).
void ConnectionLogicTest::syncBuildsEachCommandFromOneReading()
{
    ClockSite site;
    QTRY_VERIFY(site.comm.TcpConnected());
    const QDateTime start(QDate(2008, 9, 30), QTime(23, 59, 59, 950));
    QDateTime clock = start;
    int readings = 0;
    const auto now = [&] {
        ++readings;
        const QDateTime reading = clock;
        clock = clock.addMSecs(3);
        return reading;
    };
    QVERIFY(DeviceClock(site.comm).Sync(now));
    QCOMPARE(site.setCommands.size(), 30);
    QCOMPARE(readings, 30);
    for (int i = 0; i < 30; ++i)
        QCOMPARE(site.setCommands[i],
                 DeviceClock::SetCommand(QStringLiteral("0001"), start.addMSecs(3 * i)));
    QCOMPARE(site.setCommands.first(), QStringLiteral("0001AA20080930235959"));
    QCOMPARE(site.setCommands.last(), QStringLiteral("0001AA20081001000000"));
}

// Success means the controller took a set command: refused ones leave its clock as it was.
void ConnectionLogicTest::syncReportsWhetherTheClockWasSet()
{
    ClockSite site;
    QTRY_VERIFY(site.comm.TcpConnected());
    const QDateTime moment(QDate(2001, 2, 3), QTime(4, 5, 6));
    const auto fixed = [moment] { return moment; };
    FaultSettings refused;
    refused.errorCodes.insert("AA", 'B');
    site.sim->setFaults(refused);
    const qint64 before = site.offsetMs();
    QVERIFY(!DeviceClock(site.comm).Sync(fixed));
    QCOMPARE(site.setCommands.size(), 30 * 5);
    QCOMPARE(site.offsetMs(), before);

    site.sim->clearFaults();
    QVERIFY(DeviceClock(site.comm).Sync(fixed));
    QString text;
    QCOMPARE(DeviceClock(site.comm).Read(QString(), text), DeviceClock::ReadOutcome::Read);
    QVERIFY(text.startsWith(QStringLiteral("2001/02/03   04:0")));
    Comm unopened;
    QVERIFY(!DeviceClock(unopened).Sync(fixed));
}

// A set command that gets no reply in five attempts ends the run: the controller is not
// there, and 29 more commands would only cost their time-outs.
void ConnectionLogicTest::syncEndsWhenTheControllerIsSilent()
{
    ClockSite site;
    QTRY_VERIFY(site.comm.TcpConnected());
    FaultSettings silent;
    silent.silentCodes.insert("AA");
    site.sim->setFaults(silent);
    QVERIFY(!DeviceClock(site.comm).Sync([] { return QDateTime::currentDateTime(); }));
    QCOMPARE(site.setCommands.size(), 5);
}

void ConnectionLogicTest::clockReplyThatIsNoDateIsNoClock_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("letters") << QByteArray("ABCDEFGHIJKLMN");
    QTest::newRow("month 13") << QByteArray("20081322140509");
    QTest::newRow("hour 24") << QByteArray("20080922240509");
    QTest::newRow("too short") << QByteArray("2008092214");
    QTest::newRow("nothing") << QByteArray();
}

// A clock reply is shown only when it is a real date and time; any other reply is tried again
// and then fails the read, as no reply does.
void ConnectionLogicTest::clockReplyThatIsNoDateIsNoClock()
{
    QFETCH(QByteArray, data);
    ClockSite site;
    QTRY_VERIFY(site.comm.TcpConnected());
    QStringList reads;
    QObject::connect(&site.comm, &Comm::logLine, [&reads](const QString &line) {
        if (line.contains(QLatin1String("[0001AB]")))
            reads << line;
    });
    FaultSettings faults;
    faults.replacedData.insert("AB", data);
    site.sim->setFaults(faults);
    QString text = QStringLiteral("before");
    QCOMPARE(DeviceClock(site.comm).Read(QString(), text), DeviceClock::ReadOutcome::Failed);
    QCOMPARE(text, QStringLiteral("before"));
    QCOMPARE(reads.size(), 5);
    QVERIFY(!DeviceClock::IsClockReply(QString::fromLatin1(data)));
    QVERIFY(DeviceClock::IsClockReply(QStringLiteral(" 20080922140509 ")));
}

// Over UDP the SD card is asked for up to five times: one lost reply does not make a card
// that is there look absent, and a question never answered is told from no card.
void ConnectionLogicTest::sdCardQuestionIsAskedAgain()
{
    SimulatorConfig config;
    config.udpPort = 0;
    SimulatorHost sim(config);
    QVERIFY(sim.isRunning());
    Comm comm;
    QVERIFY(comm.CommOpenUdp(QStringLiteral("127.0.0.1"), sim.udpPort(), 0));
    FaultSettings lost;
    lost.silentCodes = {QByteArray("AN")};
    sim.setFaults(lost);
    const auto answerNext = QObject::connect(&comm, &Comm::logLine, [&sim](const QString &line) {
        if (line.startsWith(QLatin1String("02[0001AN]")))
            sim.clearFaults();
    });
    const IdentifyResult once = Identifier(comm).IdentifyUdp();
    QObject::disconnect(answerNext);
    QVERIFY(once.connected);
    QVERIFY(once.sdCardAnswered);
    QCOMPARE(once.sdCardLabel, SdCardLabelForSectors(sim.controller().snapshot().sd.sectors));
    QVERIFY(!once.sdCardLabel.isEmpty());

    sim.setFaults(lost);
    const IdentifyResult never = Identifier(comm).IdentifyUdp();
    QVERIFY(never.connected);
    QVERIFY(!never.sdCardAnswered);
    QVERIFY(never.sdCardLabel.isEmpty());
}

QTEST_GUILESS_MAIN(ConnectionLogicTest)
#include "test_connection_logic.moc"
