// The serial search against simulated lines on pseudo-terminals that answer at one speed.
#include "LineSettingsList.h"
#include "SearchSites.h"
#include "SerialPortOrder.h"
#include "SerialSearch.h"

#include <QSignalSpy>
#include <QTest>

namespace {

struct Scan
{
    QString port;
    QString lineSettings;
    int deviceId;
};

// One search, run to its end, with everything it reported.
struct Run
{
    Run(const QList<SerialTarget> &ports, const QStringList &lineSettings, int firstId, int lastId,
        const ComPortMap &map, bool thorough = false)
    {
        request.ports = ports;
        request.plan.lineSettings = lineSettings;
        request.plan.firstId = firstId;
        request.plan.lastId = lastId;
        request.plan.thorough = thorough;
        request.map = map;
        QObject::connect(&search, &SerialSearch::scanning,
                         [this](const QString &port, const QString &settings, int id) {
                             scans.push_back({port, settings, id});
                         });
        QObject::connect(&search, &SerialSearch::unavailable,
                         [this](const QString &port) { unavailable << port; });
    }

    bool run()
    {
        QSignalSpy done(&search, &SerialSearch::finished);
        search.start(request);
        return done.wait(60000) && !search.running();
    }

    QStringList settingsTried(const QString &port) const
    {
        QStringList tried;
        for (const Scan &s : scans) {
            if (s.port == port && !tried.contains(s.lineSettings))
                tried << s.lineSettings;
        }
        return tried;
    }

    QList<int> idsTried(const QString &port, const QString &settings) const
    {
        QList<int> ids;
        for (const Scan &s : scans) {
            if (s.port == port && s.lineSettings == settings && s.deviceId > 0)
                ids << s.deviceId;
        }
        return ids;
    }

    SerialSearch search;
    SerialSearch::Request request;
    std::vector<Scan> scans;
    QStringList unavailable;
};

} // namespace

class TestSerialSearch : public QObject
{
    Q_OBJECT

private slots:
    void portsAreTriedFromTheLastNameByText()
    {
        ComPortMap map;
        map.assign(1, QStringLiteral("/dev/a"));
        map.assign(3, QStringLiteral("/dev/c"));
        map.assign(10, QStringLiteral("/dev/b"));
        QList<QString> names;
        for (const SerialTarget &t :
             SerialTargetsInSearchOrder({QStringLiteral("COM1"), QStringLiteral("COM10"),
                                         QStringLiteral("COM3"), QStringLiteral("LPT")},
                                        map))
            names << t.name + QLatin1Char('=') + t.devicePath;
        QCOMPARE(names, (QStringList{QStringLiteral("COM3=/dev/c"), QStringLiteral("COM10=/dev/b"),
                                     QStringLiteral("COM1=/dev/a")}));
        QCOMPARE(LineSettingsSearchOrder().first(), QStringLiteral("921600,e,8,1"));
        QCOMPARE(LineSettingsSearchOrder().last(), QStringLiteral("4800,n,8,1"));
        QCOMPARE(LineSettingsSearchOrder().size(), 16);
    }

    // A line named twice (its COM number in either case, and its device path) is one port.
    void aDeviceNamedTwiceIsTriedOnce()
    {
        ComPortMap map;
        map.assign(3, QStringLiteral("/dev/c"));
        QList<QString> names;
        for (const SerialTarget &t :
             SerialTargetsInSearchOrder({QStringLiteral("/dev/c"), QStringLiteral("COM3"),
                                         QStringLiteral("com3"), QStringLiteral("COM4")},
                                        map))
            names << t.name;
        QCOMPARE(names.size(), 2);
        QCOMPARE(names.first().toUpper(), QStringLiteral("COM4"));
        QCOMPARE(names.last().toUpper(), QStringLiteral("COM3"));
    }

    // Every port is searched at once, but the answer is the one trying them in order gives:
    // COM10 before COM1, although COM1 answers at the first setting tried.
    void theFirstPortInOrderWins()
    {
        const auto com3 = SerialLine::silent();
        SerialLine com10(115200, {Controller(2)});
        SerialLine com1(921600, {Controller(4)});
        ComPortMap map;
        map.assign(3, com3->path());
        map.assign(10, com10.path());
        map.assign(1, com1.path());
        Run r(SerialTargetsInSearchOrder(
                  {QStringLiteral("COM1"), QStringLiteral("COM10"), QStringLiteral("COM3")}, map),
              LineSettingsSearchOrder().mid(0, 6), 1, 4, map);
        QVERIFY(r.run());
        QVERIFY(r.search.hit());
        const ControllerHit hit = *r.search.hit();
        QCOMPARE(hit.portName, QStringLiteral("COM10"));
        QCOMPARE(hit.portNumber, 10);
        QCOMPARE(hit.lineSettings, QStringLiteral("115200,e,8,1"));
        QCOMPARE(hit.deviceId, QStringLiteral("0002"));
        QCOMPARE(hit.version, QStringLiteral("KT480NT-V5.04"));
        QCOMPARE(hit.serialNumber, QStringLiteral("12345678"));
        // From the end of the list, and a silent setting costs one broadcast, no ID walk.
        QCOMPARE(r.settingsTried(QStringLiteral("COM10")), LineSettingsSearchOrder().mid(0, 5));
        QVERIFY(r.idsTried(QStringLiteral("COM10"), QStringLiteral("921600,e,8,1")).isEmpty());
        QCOMPARE(r.idsTried(QStringLiteral("COM10"), QStringLiteral("115200,e,8,1")),
                 QList<int>{2});
        QCOMPARE(r.settingsTried(QStringLiteral("COM3")), LineSettingsSearchOrder().mid(0, 6));
        for (const QString &line : {com3->path(), com10.path(), com1.path()})
            QCOMPARE(OpenDescriptors(line), 1); // only the simulator's own end
    }

    // The ID the broadcast names is tried first.
    void theBroadcastNamesTheIdToTryFirst()
    {
        SerialLine line(19200, {Controller(5)});
        ComPortMap map;
        map.assign(4, line.path());
        Run r(SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map),
              {QStringLiteral("19200,e,8,1")}, 1, 6, map);
        QVERIFY(r.run());
        QCOMPARE(r.search.hit()->deviceId, QStringLiteral("0005"));
        QCOMPARE(r.idsTried(QStringLiteral("COM4"), QStringLiteral("19200,e,8,1")), QList<int>{5});
        QVERIFY(!r.search.outsideRange());
    }

    // A controller whose broadcast answer names an ID outside the range is no hit, but it is
    // named, with its version, once the range has been walked at that setting.
    void aControllerOutsideTheRangeIsNamed()
    {
        SerialLine line(19200, {Controller(5)});
        ComPortMap map;
        map.assign(4, line.path());
        Run r(SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map),
              {QStringLiteral("19200,e,8,1"), QStringLiteral("9600,e,8,1")}, 1, 3, map);
        QVERIFY(r.run());
        QVERIFY(!r.search.hit());
        QVERIFY(r.search.outsideRange());
        const ControllerHit outside = *r.search.outsideRange();
        QCOMPARE(outside.portName, QStringLiteral("COM4"));
        QCOMPARE(outside.lineSettings, QStringLiteral("19200,e,8,1"));
        QCOMPARE(outside.deviceId, QStringLiteral("0005"));
        QCOMPARE(outside.version, QStringLiteral("KT480NT-V5.04"));
        QCOMPARE(outside.serialNumber, QStringLiteral("12345678"));
        QCOMPARE(r.idsTried(QStringLiteral("COM4"), QStringLiteral("19200,e,8,1")),
                 (QList<int>{1, 2, 3, 5}));
        // Cancelled, nothing is named.
        Run stopped(SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map),
                    {QStringLiteral("19200,e,8,1"), QStringLiteral("9600,e,8,1")}, 1, 3, map);
        QObject::connect(&stopped.search, &SerialSearch::scanning, &stopped.search,
                         [&stopped](const QString &, const QString &settings, int) {
                             if (settings == QLatin1String("9600,e,8,1"))
                                 stopped.search.stop();
                         });
        QVERIFY(stopped.run());
        QVERIFY(!stopped.search.outsideRange());
    }

    // Two controllers on one RS-485 bus answer the broadcast at once: the bytes that come back
    // are garbled and make no reply, but someone is there, and the range is walked.
    void controllersAnsweringTheBroadcastAtOnceAreFound()
    {
        SerialLine bus(19200, {Controller(5), Controller(2)});
        ComPortMap map;
        map.assign(4, bus.path());
        Run r(SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map),
              {QStringLiteral("19200,e,8,1")}, 1, 6, map);
        QVERIFY(r.run());
        QVERIFY(r.search.hit());
        QCOMPARE(r.search.hit()->deviceId, QStringLiteral("0002"));
        QCOMPARE(r.idsTried(QStringLiteral("COM4"), QStringLiteral("19200,e,8,1")),
                 (QList<int>{1, 2}));
    }

    // The broadcast's reply lost once on the line: asked again, not passed over.
    void aBroadcastReplyLostOnceIsAskedAgain()
    {
        FaultSettings lostOnce;
        lostOnce.lostCodes.insert("AC", 1);
        SerialLine line(19200, {Controller(2)}, lostOnce);
        ComPortMap map;
        map.assign(4, line.path());
        Run r(SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map),
              {QStringLiteral("19200,e,8,1")}, 1, 2, map);
        QVERIFY(r.run());
        QVERIFY(r.search.hit());
        QCOMPARE(r.search.hit()->deviceId, QStringLiteral("0002"));
        QCOMPARE(r.idsTried(QStringLiteral("COM4"), QStringLiteral("19200,e,8,1")), QList<int>{2});
    }

    // Any answer to the broadcast but silence walks the range: here a refusal.
    void anAnswerOtherThanSilenceWalksTheRange()
    {
        FaultSettings refused;
        refused.addErrorCode(QStringLiteral("AC:A"));
        SerialLine bus(19200, {Controller(5), Controller(2)}, refused);
        ComPortMap map;
        map.assign(4, bus.path());
        Run r(SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map),
              {QStringLiteral("19200,e,8,1")}, 1, 6, map);
        QVERIFY(r.run());
        QCOMPARE(r.search.hit()->deviceId, QStringLiteral("0002"));
    }

    // A controller that keeps quiet to the broadcast is found only by the thorough walk.
    void thoroughWalksEveryIdWithoutTheBroadcast()
    {
        FaultSettings quiet;
        quiet.silentCodes.insert("AC");
        SerialLine line(19200, {Controller(2)}, quiet);
        ComPortMap map;
        map.assign(4, line.path());
        const QList<SerialTarget> ports = SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map);
        Run quick(ports, {QStringLiteral("19200,e,8,1")}, 1, 2, map);
        QVERIFY(quick.run());
        QVERIFY(!quick.search.hit());
        Run thorough(ports, {QStringLiteral("19200,e,8,1")}, 1, 2, map, true);
        QVERIFY(thorough.run());
        QVERIFY(thorough.search.hit());
        QCOMPARE(thorough.search.hit()->deviceId, QStringLiteral("0002"));
        QCOMPARE(thorough.idsTried(QStringLiteral("COM4"), QStringLiteral("19200,e,8,1")),
                 (QList<int>{1, 2}));
    }

    void nothingToTryEndsAtOnce()
    {
        SerialLine line(19200, {Controller(1)});
        ComPortMap map;
        map.assign(4, line.path());
        const QList<SerialTarget> ports = SerialTargetsInSearchOrder({QStringLiteral("COM4")}, map);
        Run inverted(ports, LineSettingsSearchOrder(), 5, 3, map);
        QVERIFY(inverted.run());
        QVERIFY(!inverted.search.hit());
        QVERIFY(inverted.scans.empty());
        Run noPorts({}, LineSettingsSearchOrder(), 1, 1, map);
        QVERIFY(noPorts.run());
        QVERIFY(!noPorts.search.hit());
        QCOMPARE(OpenDescriptors(line.path()), 1);
    }

    void aPortThatCannotBeOpenedIsPassedOver()
    {
        SerialLine line(19200, {Controller(1)});
        ComPortMap map;
        map.assign(4, line.path());
        map.assign(9, QStringLiteral("/nonexistent/tty9"));
        Run r(SerialTargetsInSearchOrder({QStringLiteral("COM4"), QStringLiteral("COM9")}, map),
              {QStringLiteral("19200,e,8,1")}, 1, 1, map);
        QVERIFY(r.run());
        QCOMPARE(r.unavailable, QStringList{QStringLiteral("COM9")});
        QCOMPARE(r.search.hit()->portName, QStringLiteral("COM4"));
    }

    // A stop ends the exchange that is waiting, closes every port and finds nothing.
    void stopEndsEverythingAndClosesThePorts()
    {
        const auto a = SerialLine::silent();
        const auto b = SerialLine::silent();
        ComPortMap map;
        map.assign(3, a->path());
        map.assign(5, b->path());
        Run r(SerialTargetsInSearchOrder({QStringLiteral("COM3"), QStringLiteral("COM5")}, map),
              LineSettingsSearchOrder(), 1, 1, map, true);
        QSignalSpy done(&r.search, &SerialSearch::finished);
        QObject::connect(&r.search, &SerialSearch::scanning, &r.search,
                         [&r](const QString &, const QString &settings, int id) {
                             if (settings == QLatin1String("921600,n,8,1") && id == 1)
                                 r.search.stop();
                         });
        r.search.start(r.request);
        QVERIFY(done.wait(20000));
        QCOMPARE(done.first().first().toBool(), false);
        QVERIFY(!r.search.hit());
        QVERIFY(!r.search.running());
        QCOMPARE(OpenDescriptors(a->path()), 1);
        QCOMPARE(OpenDescriptors(b->path()), 1);
        // Nothing after the setting at which the stop came.
        for (const QString &port : {QStringLiteral("COM3"), QStringLiteral("COM5")})
            QVERIFY(r.settingsTried(port).size() <= 2);
    }
};

QTEST_GUILESS_MAIN(TestSerialSearch)
#include "test_serial_search.moc"
