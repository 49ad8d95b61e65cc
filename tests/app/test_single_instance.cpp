// One running program per settings file: a second start asks the first to come to the front.
#include "SingleInstance.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class SingleInstanceTest : public QObject
{
    Q_OBJECT

private slots:
    void secondInstanceAsksTheFirstToRaise();
};

void SingleInstanceTest::secondInstanceAsksTheFirstToRaise()
{
    const QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("one.ini"));
    SingleInstance first(file);
    QVERIFY(first.TryAcquire());
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    SingleInstance second(file);
    QVERIFY(!second.TryAcquire());
    QVERIFY(raised.wait(5000) || raised.count() > 0);
    // Another settings file is another program.
    SingleInstance other(dir.filePath(QStringLiteral("two.ini")));
    QVERIFY(other.TryAcquire());
    QVERIFY(SingleInstance::KeyFor(file) != SingleInstance::KeyFor(dir.filePath("two.ini")));
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "test_single_instance.moc"
