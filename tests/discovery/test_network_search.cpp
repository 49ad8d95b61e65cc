// The network search against simulated controllers on several loopback addresses.
#include "NetworkSearch.h"
#include "SearchSites.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {

FaultSettings ErrorOnSerialNumber()
{
    FaultSettings faults;
    faults.addErrorCode(QStringLiteral("AS:C"));
    return faults;
}

FaultSettings SilentOn(const QByteArray &code)
{
    FaultSettings faults;
    faults.silentCodes.insert(code);
    return faults;
}

NetworkSearch::Request Range(int first, int last, quint16 port, int firstId = 1, int lastId = 1)
{
    NetworkSearch::Request request;
    request.network = QStringLiteral("127.0.0");
    request.first = first;
    request.last = last;
    request.port = port;
    request.firstId = firstId;
    request.lastId = lastId;
    request.connectTimeoutMs = 2000;
    return request;
}

bool RunToEnd(NetworkSearch &search, const NetworkSearch::Request &request)
{
    QSignalSpy done(&search, &NetworkSearch::finished);
    return search.start(request) && done.wait(30000) && !search.running();
}

} // namespace

class TestNetworkSearch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // .21 refuses "AS", .22 answers "AS" but not "DB", .23 and .25 are controllers with
        // Device IDs 3 and 1.
        QVERIFY(sites_.start({21, 22, 23, 25},
                             {LoopbackSites::answering(1, ErrorOnSerialNumber()),
                              LoopbackSites::answering(1, SilentOn("DB")),
                              LoopbackSites::answering(3), LoopbackSites::answering(1)}));
    }

    void stopsAtTheFirstController()
    {
        NetworkSearch search;
        QVERIFY(RunToEnd(search, Range(20, 26, sites_.port(), 1, 3)));
        QCOMPARE(search.hits().size(), 1);
        const ControllerHit hit = search.hits().first();
        QVERIFY(hit.address == QLatin1String("127.0.0.23") ||
                hit.address == QLatin1String("127.0.0.25"));
        QCOMPARE(hit.portNumber, int(sites_.port()));
        QCOMPARE(hit.transport, ControllerHit::Transport::Tcp);
        QCOMPARE(hit.version, QStringLiteral("KT480NT-V5.04"));
    }

    void allListsEveryControllerOfTheRange()
    {
        NetworkSearch search;
        NetworkSearch::Request request = Range(20, 26, sites_.port(), 1, 3);
        request.all = true;
        QVERIFY(RunToEnd(search, request));
        QStringList found;
        for (const ControllerHit &hit : search.hits())
            found << hit.address + QLatin1Char('/') + hit.deviceId + QLatin1Char('/') +
                         hit.serialNumber;
        found.sort();
        QCOMPARE(found, (QStringList{QStringLiteral("127.0.0.23/0003/12345678"),
                                     QStringLiteral("127.0.0.25/0001/12345678")}));
    }

    // A refusal of "AS" is two characters, never a serial number; "AS" without "DB" is no
    // controller either.
    void refusalsAndMissingVersionsAreNotControllers()
    {
        NetworkSearch search;
        QSignalSpy probing(&search, &NetworkSearch::probing);
        QVERIFY(RunToEnd(search, Range(21, 22, sites_.port())));
        QVERIFY(search.hits().isEmpty());
        // Each connection was probed: ID 1 twice over on .21, once on .22 before its "DB".
        QStringList probed;
        for (const QList<QVariant> &signal : probing)
            probed << signal.at(0).toString();
        QCOMPARE(probed.count(QStringLiteral("127.0.0.21")), 2);
        QCOMPARE(probed.count(QStringLiteral("127.0.0.22")), 1);
    }

    void aDeviceIdOutsideTheRangeIsNotFound()
    {
        NetworkSearch search;
        QVERIFY(RunToEnd(search, Range(23, 23, sites_.port(), 1, 2)));
        QVERIFY(search.hits().isEmpty());
    }

    // An address that accepts connections but never answers keeps its probe going until
    // the stop, which closes everything at once.
    void stopEndsTheSearchAtOnce()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress(QStringLiteral("127.0.0.30"))));
        NetworkSearch search;
        QSignalSpy done(&search, &NetworkSearch::finished);
        QSignalSpy probing(&search, &NetworkSearch::probing);
        QVERIFY(search.start(Range(30, 31, silent.serverPort(), 1, 500)));
        QVERIFY(probing.wait(5000));
        QVERIFY(silent.hasPendingConnections());
        search.stop();
        QVERIFY(done.wait(1000));
        QCOMPARE(done.first().first().toBool(), false);
        QVERIFY(!search.running());
        QCOMPARE(search.connectingCount(), 0);
        QTcpSocket *accepted = silent.nextPendingConnection();
        QVERIFY(accepted->state() != QAbstractSocket::ConnectedState ||
                accepted->waitForDisconnected(1000));
    }

    void outsideLoopbackNothingIsSent()
    {
        NetworkSearch::Request request = Range(101, 101, 5001);
        request.network = QStringLiteral("192.168.1");
        QVERIFY(NetworkSearch::Refusal(request).contains(QLatin1String("192.168.1.101")));
        NetworkSearch search;
        QSignalSpy done(&search, &NetworkSearch::finished);
        QVERIFY(!search.start(request));
        QVERIFY(!search.running());
        QTest::qWait(50);
        QCOMPARE(done.count(), 0);
    }

    void malformedRangesAreRefused()
    {
        NetworkSearch::Request request = Range(30, 20, 5001);
        QVERIFY(!NetworkSearch::Refusal(request).isEmpty());
        request = Range(1, 256, 5001);
        QVERIFY(!NetworkSearch::Refusal(request).isEmpty());
        request = Range(1, 2, 5001, 3, 2);
        QVERIFY(!NetworkSearch::Refusal(request).isEmpty());
        request = Range(1, 2, 5001);
        request.network = QStringLiteral("127.0.300");
        QVERIFY(!NetworkSearch::Refusal(request).isEmpty());
        request.network = QStringLiteral("localhost");
        QVERIFY(!NetworkSearch::Refusal(request).isEmpty());
    }

private:
    LoopbackSites sites_;
};

QTEST_GUILESS_MAIN(TestNetworkSearch)
#include "test_network_search.moc"
