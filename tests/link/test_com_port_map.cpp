#include "ComPortMap.h"

#include <QTest>

// COM numbers and device paths: every number leads to one device and that device back to the
// same number, with and without explicit assignments.
class TestComPortMap : public QObject
{
    Q_OBJECT

private slots:
    void numbersAndDevicesRoundTrip()
    {
        const ComPortMap map;
        for (int number = 1; number <= 400; ++number) {
            const QString path = map.devicePath(number);
            QVERIFY2(!path.isEmpty(), qPrintable(QString::number(number)));
            QCOMPARE(map.numberFor(path), number);
        }
        for (const QString &path :
             {QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS98"),
              QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB99"),
              QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyACM7")}) {
            const int number = map.numberFor(path);
            QVERIFY2(number > 0, qPrintable(path));
            QCOMPARE(map.devicePath(number), path);
        }
        QCOMPARE(map.numberFor(QStringLiteral("/dev/ttyS0")), 1);
        QCOMPARE(map.numberFor(QStringLiteral("/dev/ttyUSB0")), 100);
        QCOMPARE(map.devicePath(100), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(map.devicePath(99), QStringLiteral("/dev/ttyS98"));
        // Devices beyond their block get no number of their own rather than another's.
        QCOMPARE(map.numberFor(QStringLiteral("/dev/ttyS99")), 0);
        QCOMPARE(map.numberFor(QStringLiteral("/dev/ttyUSB100")), 0);
        QCOMPARE(map.numberFor(QStringLiteral("/dev/ttyS99999999999")), 0);
        QCOMPARE(map.numberFor(QStringLiteral("/dev/pts/4")), 0);
        QCOMPARE(map.devicePath(0), QString());
        QCOMPARE(map.devicePath(-3), QString());
    }

    void assignedDevicesKeepTheirNumber()
    {
        const ComPortMap map = ComPortMap::parse(QStringLiteral("3=/dev/ttyS1;COM7=/dev/pts/4"));
        QCOMPARE(map.devicePath(3), QStringLiteral("/dev/ttyS1"));
        QCOMPARE(map.numberFor(QStringLiteral("/dev/ttyS1")), 3);
        QCOMPARE(map.devicePath(7), QStringLiteral("/dev/pts/4"));
        QCOMPARE(map.numberFor(QStringLiteral("/dev/pts/4")), 7);
        // The number the assigned device would have had leads nowhere now...
        QCOMPARE(map.devicePath(2), QString());
        // ...and the device that would have had an assigned number has none.
        QCOMPARE(map.numberFor(QStringLiteral("/dev/ttyS2")), 0);
        for (int number = 1; number <= 300; ++number) {
            const QString path = map.devicePath(number);
            if (!path.isEmpty())
                QCOMPARE(map.numberFor(path), number);
        }
    }
};

QTEST_APPLESS_MAIN(TestComPortMap)
#include "test_com_port_map.moc"
