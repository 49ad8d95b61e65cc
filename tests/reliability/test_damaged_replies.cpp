// A line that damages or loses replies: every value the controller holds reaches the backup
// file or is named as not read. A controller that answers a code, however damaged, holds it;
// only silence or a refusal ends a family. Silence is how a controller says it lacks a code,
// unless the line is seen to lose replies: then a code that never answered is named.
#include "AllBackup.h"
#include "Comm.h"
#include "DeviceDataGroup.h"
#include "Language.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TableStore.h"
#include "UserPrompt.h"

#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <memory>

namespace {

class NoPrompt : public UserPrompt
{
public:
    void message(const QString &, const QString &) override {}
    bool question(const QString &, const QString &) override { return false; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }
};

// The values a parameter backup reads from the controller: catalogue codes with a value,
// without the record of sixteen zeros that closes a family.
QMap<QString, QString> HeldValues(const ControllerData &d)
{
    QMap<QString, QString> values;
    for (const auto *map : {&d.parameters, &d.groups}) {
        for (auto it = map->cbegin(); it != map->cend(); ++it) {
            const QString code = QString::fromLatin1(it.key());
            if (IsCatalogueCode(code) && !it.value().isEmpty() && it.value() != SixteenZeros)
                values.insert(code, QString::fromLatin1(it.value()));
        }
    }
    return values;
}

// A parameter backup (and the card read of two numbers) through All Backup.
struct Backup
{
    explicit Backup(const FaultSettings &faults)
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.seed = 3;
        config.controllers = {ControllerData::factory(1, 2)};
        config.faults = faults;
        sim = std::make_unique<SimulatorHost>(config);
    }

    // `onExchange` sees each exchange's diagnostic line as it is made.
    AllBackup::Outcome run(const std::function<void(const QString &line)> &onExchange = {})
    {
        Comm comm;
        OpenSimLink(comm, *sim);
        if (onExchange)
            QObject::connect(&comm, &Comm::logLine, &comm, onExchange);
        Settings settings(dir.filePath(QStringLiteral("settings.ini")));
        ProgressState progress;
        SharedFlag clockReadPaused;
        SharedFlag batchMode;
        NoPrompt prompt;
        const Language language;
        AllBackup all(comm, settings, progress, clockReadPaused, batchMode, prompt, language);
        all.setRetryPause(std::chrono::milliseconds(1));
        return all.backup(params(), dir.filePath(QStringLiteral("cards.xml")), CardRange(1, 2));
    }

    QString params() const { return dir.filePath(QStringLiteral("params.xml")); }

    std::unique_ptr<SimulatorHost> sim;
    const QTemporaryDir dir;
};

} // namespace

class TestDamagedReplies : public QObject
{
    Q_OBJECT

private slots:
    // AF15 never answers on a line that also damages replies: it is named.
    void codeThatNeverAnswersOnALosingLineIsNamed()
    {
        FaultSettings faults;
        faults.corruptShare = 0.3;
        faults.silentCodes = {QByteArray("AF15")};
        Backup backup(faults);
        const AllBackup::Outcome outcome = backup.run();
        QVERIFY(outcome.failedParameterCodes.contains(QStringLiteral("AF15")));
        QVERIFY(!outcome.parametersComplete);
        QVERIFY2(outcome.reportText().contains(QStringLiteral("codes never answered")),
                 qPrintable(outcome.reportText()));
    }

    // On a clean line the same silence means the controller lacks the code.
    void codeThatNeverAnswersOnACleanLineIsAbsent()
    {
        FaultSettings faults;
        faults.silentCodes = {QByteArray("AF15")};
        Backup backup(faults);
        const AllBackup::Outcome outcome = backup.run();
        QVERIFY2(outcome.complete(), qPrintable(outcome.reportText()));
        TableStore file;
        QVERIFY(file.LoadFromFile(backup.params()).ok());
        for (int row = 0; row < file.RecordCount(); ++row)
            QVERIFY(file.Value(row, 0) != QStringLiteral("AF15"));
    }

    // A code the controller refuses (it lacks it) ends its family also when a later attempt's
    // reply is lost on the line: it is not named as a code whose replies were all damaged.
    void refusedCodeWithALaterLostReplyIsAbsent()
    {
        Backup backup({});
        SimulatorHost &sim = *backup.sim;
        const AllBackup::Outcome outcome = backup.run([&sim](const QString &line) {
            if (line.startsWith(QStringLiteral("21[0001FA03]"))) {
                FaultSettings lost;
                lost.silentCodes = {QByteArray("FA03")};
                sim.setFaults(lost);
            }
        });
        QVERIFY2(!outcome.failedParameterCodes.contains(QStringLiteral("FA03")),
                 qPrintable(outcome.reportText()));
        QVERIFY2(outcome.complete(), qPrintable(outcome.reportText()));
    }

    void everyParameterIsSavedOrNamed()
    {
        FaultSettings faults;
        faults.corruptShare = 0.5;
        Backup backup(faults);
        const AllBackup::Outcome outcome = backup.run();
        const QString params = backup.params();

        TableStore file;
        QVERIFY(file.LoadFromFile(params).ok());
        QMap<QString, QString> saved;
        for (int row = 0; row < file.RecordCount(); ++row)
            saved.insert(file.Value(row, 0), file.Value(row, 1));
        const QMap<QString, QString> held = HeldValues(backup.sim->controller().snapshot());
        int named = 0;
        for (auto it = held.cbegin(); it != held.cend(); ++it) {
            if (saved.value(it.key()) == it.value())
                continue;
            QVERIFY2(!saved.contains(it.key()), qPrintable(it.key()));
            QVERIFY2(outcome.failedParameterCodes.contains(it.key()), qPrintable(it.key()));
            ++named;
        }
        for (auto it = saved.cbegin(); it != saved.cend(); ++it)
            QVERIFY2(held.contains(it.key()), qPrintable(it.key()));
        // The seed damages some code five times in a row: the backup says so.
        QVERIFY(named > 0);
        QVERIFY(!outcome.parametersComplete);
        QVERIFY2(outcome.reportText().contains(QStringLiteral("every reply was damaged")),
                 qPrintable(outcome.reportText()));
    }
};

QTEST_GUILESS_MAIN(TestDamagedReplies)
#include "test_damaged_replies.moc"
