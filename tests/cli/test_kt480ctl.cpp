#include "SimulatorHost.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

// The command-line client as a script uses it: a real process against the simulator.
class TestKt480ctl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        ControllerData data = ControllerData::factory(12);
        data.cards = GeneratedCards(8);
        config.controllers = {data};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
        QVERIFY(dir_.isValid());
    }

    void exchangeExitCodes()
    {
        Run r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("exchange"), QStringLiteral("0012AS")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.trimmed(), QByteArray("01[0012AS] 12345678(8)"));
        r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("exchange"), QStringLiteral("0012ZZ")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.startsWith("21[0012ZZ]"));
        r = ctl({QStringLiteral("exchange"), QStringLiteral("0012AS")});
        QCOMPARE(r.exitCode, 2);
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("nonsense")});
        QCOMPARE(r.exitCode, 2);
    }

    void identifyFindsTheDeviceId()
    {
        const Run r = ctl(
            {QStringLiteral("--tcp"), tcp_, QStringLiteral("--json"), QStringLiteral("identify")});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        QCOMPARE(o.value(QStringLiteral("deviceId")).toString(), QStringLiteral("0012"));
        QCOMPARE(o.value(QStringLiteral("serialNumber")).toString(), QStringLiteral("12345678"));
        QCOMPARE(o.value(QStringLiteral("sdCard")).toString(), QStringLiteral("[128MB]"));
    }

    void cardsThroughAFileAndBack()
    {
        const QString file = dir_.filePath(QStringLiteral("cards.xml"));
        const QString csv = dir_.filePath(QStringLiteral("cards.csv"));
        Run r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                     QStringLiteral("cards"), QStringLiteral("read"), QStringLiteral("--to"),
                     QStringLiteral("20"), QStringLiteral("--out"), file});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("cards found: 8"));
        r = ctl({QStringLiteral("file"), QStringLiteral("convert"), file, csv});
        QCOMPARE(r.exitCode, 0);

        // A spreadsheet edit that breaks a card number: nothing is sent, nothing deleted.
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray text = f.readAll().replace("0000003,", "3x,");
        f.resize(0);
        f.write(text);
        f.close();
        const QString broken = dir_.filePath(QStringLiteral("broken.xml"));
        QCOMPARE(ctl({QStringLiteral("file"), QStringLiteral("convert"), csv, broken}).exitCode, 0);
        const auto before = sim_->controller().snapshot().cards;
        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                 QStringLiteral("cards"), QStringLiteral("write"), broken,
                 QStringLiteral("--clear-all")});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.contains("nothing was sent"));
        QCOMPARE(sim_->controller().snapshot().cards, before);

        r = ctl({QStringLiteral("--tcp"), tcp_, QStringLiteral("--id"), QStringLiteral("12"),
                 QStringLiteral("cards"), QStringLiteral("write"), file,
                 QStringLiteral("--clear-all")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(sim_->controller().snapshot().cards, before);
    }

    void unreadableFileIsNamed()
    {
        const QString missing = dir_.filePath(QStringLiteral("missing.xml"));
        const Run r = ctl({QStringLiteral("file"), QStringLiteral("show"), missing});
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.err.contains(missing.toUtf8()));
    }

private:
    Run ctl(const QStringList &arguments)
    {
        QProcess p;
        p.start(QStringLiteral(KT480CTL_PATH), arguments);
        Run r;
        if (!p.waitForFinished(60000))
            return r;
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    std::unique_ptr<SimulatorHost> sim_;
    QString tcp_;
    QTemporaryDir dir_;
};

QTEST_MAIN(TestKt480ctl)
#include "test_kt480ctl.moc"
