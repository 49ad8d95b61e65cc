#include "AllBackup.h"
#include "CardFile.h"
#include "Comm.h"
#include "Language.h"
#include "ProgressState.h"
#include "ScriptedPrompt.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TableStore.h"
#include "UserPrompt.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

ControllerData configured(int cards)
{
    ControllerData data = ControllerData::factory();
    data.parameters.insert("AF13", "077");
    data.parameters.insert("AF14", "0123");
    data.cards = GeneratedCards(cards);
    return data;
}

// The card numbers every backup here reads, and what a restore knows of it.
const CardRange Range{1, 40};
const AllBackup::RestorePlan Plan{Range, true, false};
const QString Version = QStringLiteral("KT480NT-V5.04");

// One simulated controller reached over TCP, and everything an all backup needs.
struct Site
{
    explicit Site(const ControllerData &data, const QString &settingsFile) : settings(settingsFile)
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.controllers = {data};
        sim = std::make_unique<SimulatorHost>(config);
        OpenSimLink(comm, *sim);
        all.setRetryPause(std::chrono::milliseconds(2));
        all.setSettleWait(3, 1);
        all.setOutsideCheckCeiling(60);
    }

    ControllerData state() { return sim->controller().snapshot(); }

    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    Settings settings;
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    ScriptedPrompt prompt;
    Language language;
    AllBackup all{comm, settings, progress, clockReadPaused, batchMode, prompt, language};
};

} // namespace

class TestAllBackup : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(dir.isValid()); }

    void backupThenRestoreIntoAFreshController()
    {
        const QString params = dir.filePath(QStringLiteral("new/folder/params"));
        const QString cards = dir.filePath(QStringLiteral("new/cards.xml"));
        ControllerData source = configured(25);
        {
            Site site(source, dir.filePath(QStringLiteral("a.ini")));
            const AllBackup::Outcome outcome = site.all.backup(params, cards, Range);
            QVERIFY2(outcome.complete(), qPrintable(outcome.reportText()));
            QVERIFY(outcome.reportText().startsWith(QStringLiteral("OK!\n\nParameters: ")));
            QVERIFY2(outcome.reportText().contains(
                         QStringLiteral("Cards: 25 cards of numbers 1 to 40 saved to ") + cards),
                     qPrintable(outcome.reportText()));
            QVERIFY(!site.batchMode.isSet());
            source = site.state();
        }
        QVERIFY(QFile::exists(params + QStringLiteral(".xml")));
        QVERIFY(QFile::exists(cards));

        ControllerData blank = ControllerData::factory();
        blank.cards = GeneratedCards(3);
        blank.cards.insert(39, blank.cards.value(1));
        Site fresh(blank, dir.filePath(QStringLiteral("b.ini")));
        const AllBackup::Outcome outcome =
            fresh.all.restore(params + QStringLiteral(".xml"), cards, Version, Plan);
        QVERIFY2(outcome.complete(), qPrintable(outcome.reportText()));
        const ControllerData restored = fresh.state();
        QCOMPARE(restored.cards, source.cards);
        QCOMPARE(restored.parameters, source.parameters);
        QCOMPARE(restored.groups, source.groups);
    }

    void aControllerWithoutCardsGetsAnEmptyCardFile()
    {
        const QString params = dir.filePath(QStringLiteral("empty/params.xml"));
        const QString cards = dir.filePath(QStringLiteral("empty/cards.xml"));
        {
            // An older card file of another controller lies where the new one goes.
            Site older(configured(6), dir.filePath(QStringLiteral("g0.ini")));
            QVERIFY(older.all.backup(params, cards, Range).complete());
        }
        Site site(ControllerData::factory(), dir.filePath(QStringLiteral("g.ini")));
        const AllBackup::Outcome outcome = site.all.backup(params, cards, Range);
        QVERIFY2(outcome.complete(), qPrintable(outcome.reportText()));
        QVERIFY2(outcome.reportText().contains(
                     QStringLiteral("the controller holds no cards (numbers 1 to 40); an empty "
                                    "card file was saved to ") +
                     cards),
                 qPrintable(outcome.reportText()));
        TableStore saved;
        QVERIFY(CardFile::Load(saved, cards));
        QCOMPARE(saved.RecordCount(), 0);

        // Restoring the pair leaves a controller's cards alone, and says so.
        const ControllerData other = configured(4);
        Site target(other, dir.filePath(QStringLiteral("h.ini")));
        const AllBackup::Outcome restored = target.all.restore(params, cards, Version, Plan);
        QVERIFY2(restored.complete(), qPrintable(restored.reportText()));
        QVERIFY(restored.reportText().contains(
            QStringLiteral("holds no cards; the cards the controller holds stay as they were")));
        QCOMPARE(target.state().cards, other.cards);
    }

    // A range whose start lies above its end reads nothing: no backup of the cards, an error,
    // and the earlier card file stays as it was.
    void anEmptyRangeIsNoCardBackup()
    {
        const QString params = dir.filePath(QStringLiteral("range/params.xml"));
        const QString cards = dir.filePath(QStringLiteral("range/cards.xml"));
        Site site(configured(6), dir.filePath(QStringLiteral("r.ini")));
        QVERIFY(site.all.backup(params, cards, Range).complete());
        TableStore before;
        QVERIFY(CardFile::Load(before, cards));
        QCOMPARE(before.RecordCount(), 6);
        const AllBackup::Outcome outcome = site.all.backup(params, cards, CardRange(40, 1));
        QVERIFY(outcome.parametersComplete);
        QVERIFY(!outcome.cardsComplete);
        QVERIFY2(outcome.reportText().startsWith(QStringLiteral("Error!")) &&
                     outcome.reportText().contains(
                         QStringLiteral("the card number range 40 to 1 holds no number")),
                 qPrintable(outcome.reportText()));
        TableStore after;
        QVERIFY(CardFile::Load(after, cards));
        QCOMPARE(after.RecordCount(), 6);
    }

    void missingCardNumbersMakeTheBackupAnError()
    {
        Site site(configured(10), dir.filePath(QStringLiteral("c.ini")));
        FaultSettings faults;
        faults.errorCodes.insert("HB0004", 'A');
        site.sim->setFaults(faults);
        const AllBackup::Outcome outcome = site.all.backup(
            dir.filePath(QStringLiteral("p.xml")), dir.filePath(QStringLiteral("c.xml")), Range);
        QVERIFY(outcome.parametersComplete);
        QVERIFY(!outcome.cardsComplete);
        QVERIFY(outcome.reportText().startsWith(QStringLiteral("Error!")));
        QVERIFY(outcome.reportText().contains(QStringLiteral("could not be read: 4")));
        // A restore takes the card file for the whole list: the list with a number missing is
        // saved only on a yes to a question that names it, also where no file was before.
        QCOMPARE(site.prompt.questions.size(), 1);
        QVERIFY2(site.prompt.questions[0].contains(QStringLiteral("could not be read: 4")),
                 qPrintable(site.prompt.questions[0]));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("c.xml"))));
        QVERIFY2(outcome.reportText().contains(QStringLiteral("not saved")),
                 qPrintable(outcome.reportText()));
    }

    void partialCardBackupKeepsTheEarlierFileUnlessConfirmed()
    {
        const QString cards = dir.filePath(QStringLiteral("keep.xml"));
        QFile old(cards);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier");
        old.close();
        Site site(configured(10), dir.filePath(QStringLiteral("d.ini")));
        FaultSettings faults;
        faults.errorCodes.insert("HB0002", 'A');
        site.sim->setFaults(faults);
        site.prompt.answer = false;
        const AllBackup::Outcome outcome =
            site.all.backup(dir.filePath(QStringLiteral("p2.xml")), cards, Range);
        QVERIFY(!outcome.complete());
        QCOMPARE(site.prompt.questions.size(), 1);
        QFile kept(cards);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("earlier"));
    }

    void unreadableCardFileLeavesTheCardsAlone()
    {
        ControllerData data = configured(5);
        Site site(data, dir.filePath(QStringLiteral("e.ini")));
        const QString broken = dir.filePath(QStringLiteral("broken.xml"));
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA>");
        f.close();
        const AllBackup::Outcome outcome =
            site.all.restore(dir.filePath(QStringLiteral("none.xml")), broken, Version, Plan);
        QVERIFY(!outcome.parametersComplete);
        QVERIFY(!outcome.cardsComplete);
        QVERIFY(outcome.reportText().contains(QStringLiteral("broken.xml")));
        QCOMPARE(site.state().cards, data.cards);
    }

    void invalidCardRowsLeaveTheCardsAlone()
    {
        ControllerData data = configured(5);
        Site site(data, dir.filePath(QStringLiteral("f.ini")));
        TableStore table;
        table.AddField(QStringLiteral("DataNO"), 10);
        for (const char *f : {"DataID", "DataApp", "DataType", "DataPIN", "DataAPB"})
            table.AddField(QLatin1String(f), 20);
        table.CreateDataSet();
        table.AppendRow({QStringLiteral("1"), QStringLiteral("99"), QString(), QString(), QString(),
                         QString()});
        table.AppendRow({QStringLiteral("abc"), QStringLiteral("98"), QString(), QString(),
                         QString(), QString()});
        const QString file = dir.filePath(QStringLiteral("invalid.xml"));
        QVERIFY(CardFile::Save(table, file));
        const AllBackup::Outcome outcome = site.all.restore(QString(), file, Version, Plan);
        QVERIFY(!outcome.cardsComplete);
        QCOMPARE(site.state().cards, data.cards);
    }

    // The card file cannot be restored: not one parameter is written before that is known.
    void aBrokenCardFileWritesNoParameter()
    {
        const QString params = dir.filePath(QStringLiteral("half/params.xml"));
        const QString cards = dir.filePath(QStringLiteral("half/cards.xml"));
        Site site(configured(5), dir.filePath(QStringLiteral("i.ini")));
        QVERIFY(site.all.backup(params, cards, Range).complete());
        QFile f(cards);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<broken");
        f.close();
        site.sim->controller().modify([](ControllerData &d) {
            d.parameters["AF13"] = "099";
            return true;
        });
        const quint64 before = site.sim->controller().revision();
        const AllBackup::Outcome outcome = site.all.restore(params, cards, Version, Plan);
        QVERIFY(!outcome.parametersComplete && !outcome.cardsComplete);
        QCOMPARE(site.sim->controller().revision(), before);
        QVERIFY2(outcome.reportText().contains(QStringLiteral("nothing was written to the "
                                                              "controller")),
                 qPrintable(outcome.reportText()));
    }

    // Cards the backup never read are named before the restore would delete them: a no keeps
    // the controller as it is, a yes restores.
    void cardsOutsideTheBackupAreAskedAbout()
    {
        const QString params = dir.filePath(QStringLiteral("outside/params.xml"));
        const QString cards = dir.filePath(QStringLiteral("outside/cards.xml"));
        Site site(configured(5), dir.filePath(QStringLiteral("j.ini")));
        QVERIFY(site.all.backup(params, cards, CardRange(1, 20)).complete());
        const QMap<int, QByteArray> backedUp = site.state().cards;
        site.sim->controller().modify([](ControllerData &d) {
            d.cards[45] = d.cards.value(1);
            return true;
        });
        const quint64 before = site.sim->controller().revision();
        site.prompt.answer = false;
        const AllBackup::RestorePlan plan{CardRange(1, 20), true, false};
        AllBackup::Outcome outcome = site.all.restore(params, cards, Version, plan);
        QVERIFY(!outcome.complete());
        QCOMPARE(outcome.outsideCards, QList<int>{45});
        QCOMPARE(site.prompt.questions.size(), 1);
        QVERIFY2(site.prompt.questions[0].contains(
                     QStringLiteral("outside the numbers 1 to 20 that the backup read: 45")),
                 qPrintable(site.prompt.questions[0]));
        QCOMPARE(site.sim->controller().revision(), before);

        site.prompt.answer = true;
        outcome = site.all.restore(params, cards, Version, plan);
        QVERIFY2(outcome.complete(), qPrintable(outcome.reportText()));
        QCOMPARE(site.state().cards, backedUp);
    }

    // Card numbers go out in the form of the version: without it nothing is written.
    void noRestoreWithoutTheVersion()
    {
        const QString params = dir.filePath(QStringLiteral("version/params.xml"));
        const QString cards = dir.filePath(QStringLiteral("version/cards.xml"));
        Site site(configured(5), dir.filePath(QStringLiteral("k.ini")));
        QVERIFY(site.all.backup(params, cards, Range).complete());
        const quint64 before = site.sim->controller().revision();
        const AllBackup::Outcome outcome = site.all.restore(params, cards, QString(), Plan);
        QVERIFY(!outcome.parametersComplete && !outcome.cardsComplete);
        QVERIFY(outcome.reportText().contains(QStringLiteral("firmware version")));
        QCOMPARE(site.sim->controller().revision(), before);
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(TestAllBackup)
#include "test_all_backup.moc"
