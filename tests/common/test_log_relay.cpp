#include "LogRelay.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

Q_LOGGING_CATEGORY(lcRelayTest, "kt480.relaytest")
Q_LOGGING_CATEGORY(lcForeign, "other.component")

// The program's own log messages reach the diagnostic panel through the relay, from any
// thread; other components' messages do not, and the previous handler comes back after it.
class TestLogRelay : public QObject
{
    Q_OBJECT

private slots:
    void programMessagesReachTheRelay()
    {
        LogRelay relay;
        QSignalSpy lines(&relay, &LogRelay::message);
        qCWarning(lcRelayTest) << "reader search on COM3 failed";
        qCWarning(lcForeign) << "not ours";
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.at(0).at(0).toString(),
                 QStringLiteral("kt480.relaytest warning: reader search on COM3 failed"));
    }

    void messagesFromAnotherThreadArriveInTheRelaysThread()
    {
        LogRelay relay;
        QStringList received;
        connect(&relay, &LogRelay::message, this, [&](const QString &line) {
            QCOMPARE(QThread::currentThread(), thread());
            received << line;
        });
        QThread *worker = QThread::create([] { qCWarning(lcRelayTest) << "from a worker"; });
        worker->start();
        worker->wait();
        delete worker;
        QTRY_COMPARE(received.size(), 1);
    }

    void anInnerRelayGivesWayToTheOuterOne()
    {
        LogRelay outer;
        QSignalSpy outerLines(&outer, &LogRelay::message);
        {
            LogRelay inner;
            QSignalSpy innerLines(&inner, &LogRelay::message);
            qCWarning(lcRelayTest) << "inner";
            QCOMPARE(innerLines.size(), 1);
            QCOMPARE(outerLines.size(), 0);
        }
        qCWarning(lcRelayTest) << "outer";
        QCOMPARE(outerLines.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestLogRelay)
#include "test_log_relay.moc"
