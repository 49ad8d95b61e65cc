// kt480ctl killed (SIGKILL) at 50 moments (fewer in a sanitizer build) spread over a run, for each
// of three jobs: a card read saved to a file, a parameter backup and an event read with its
// journal; and a backup into a folder killed as it moves its files in. Afterwards the file is the
// earlier one, untouched, or the new one complete; never a part of one. The events the controller
// forgot once acknowledged all reach a file, each once. And an event read into the archive, killed
// at moments spread over it and just after the archive committed: every event reaches the archive
// exactly once.
#include "BackupRecord.h"
#include "CardCodec.h"
#include "CardFile.h"
#include "CardTable.h"
#include "DeviceDataGroup.h"
#include "EventArchive.h"
#include "KillRun.h"
#include "ParamFilePaths.h"
#include "RecordFile.h"
#include "RecordJournal.h"
#include "RecordTable.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

namespace {

constexpr int Points = KT480_KILL_POINTS;
// Every fifth point waits for the save itself, which is short beside the transfer, and kills
// the run up to this long after the save was seen to begin.
constexpr int SaveEvery = 5;
constexpr int SaveDelayUs = 3000;
// A file of fifty events is written in well under a millisecond.
constexpr int SmallSaveDelayUs = 200;

// The points that wait for the save; on a loaded machine a save may end before its kill, so
// points beyond the last one are all such points, until one falls into a save.
bool IsSavePoint(int point)
{
    return point >= Points || point % SaveEvery == SaveEvery - 1;
}

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The events of a record file, each as its time and card; nothing when it does not load.
std::optional<QStringList> EventsIn(const QString &path)
{
    TableStore table;
    if (!RecordFile::Load(table, path))
        return std::nullopt;
    QStringList events;
    for (int row = 0; row < table.RecordCount(); ++row) {
        const EventRecord r = RecordTable::RowAt(table, row);
        events << r.DataTime + QLatin1Char(' ') + r.CardNO;
    }
    return events;
}

// What the points came to.
struct Tally
{
    int killed = 0;
    int duringSave = 0;
    int endedAlone = 0;
    int kept = 0;
    int replaced = 0;
    int partial = 0;
    int completeCopies = 0;

    QString text(const char *job) const
    {
        return QStringLiteral("%1: %2 points, %3 killed (%4 while saving), %5 ended first; file "
                              "kept %6, replaced by a complete one %7, partial %8; complete "
                              "copies under a temporary name %9")
            .arg(QLatin1String(job))
            .arg(Points)
            .arg(killed)
            .arg(duringSave)
            .arg(endedAlone)
            .arg(kept)
            .arg(replaced)
            .arg(partial)
            .arg(completeCopies);
    }
};

// The catalogue values a parameter backup saves from this controller.
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

} // namespace

class TestKill : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        outFolder_ = dir_->filePath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(outFolder_));
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("KT480_LOOPBACK_ONLY"), QStringLiteral("1"));
        env_.insert(QStringLiteral("KT480_JOURNAL_DIR"), dir_->filePath(QStringLiteral("journal")));
        env_.insert(QStringLiteral("KT480_SETTINGS"), dir_->filePath(QStringLiteral("s.ini")));
    }

    void cardReadSavedToAFile()
    {
        constexpr int Cards = 1500;
        ControllerData data = ControllerData::factory();
        data.cards = GeneratedCards(Cards);
        startSimulator(data);
        const QString out = QDir(outFolder_).filePath(QStringLiteral("cards.xml"));
        const QStringList args{QStringLiteral("--tcp"), tcp_,
                               QStringLiteral("cards"), QStringLiteral("read"),
                               QStringLiteral("--to"),  QString::number(Cards),
                               QStringLiteral("--out"), out};
        const auto matches = [&](const QString &path) {
            TableStore table;
            if (!CardFile::Load(table, path))
                return false;
            const ControllerData now = sim_->controller().snapshot();
            if (table.RecordCount() != now.cards.size())
                return false;
            for (int row = 0; row < table.RecordCount(); ++row) {
                const CardRecord card = CardTable::RowAt(table, row);
                if (CardCodec::EncodeWriteData(card).toLatin1() !=
                    now.cards.value(card.DataNO.toInt()))
                    return false;
            }
            return true;
        };
        const Tally tally = killAtPoints(args, out, matches, [this](int point) {
            sim_->controller().modify([point](ControllerData &d) {
                d.cards.insert(1 + point, EncodedCardRecord(QByteArray::number(point + 1, 16), 1, 0,
                                                            "XXXX", 0));
                return true;
            });
        });
        qInfo("%s", qPrintable(tally.text("cards read --out")));
    }

    void parameterBackup()
    {
        startSimulator(ControllerData::factory());
        const QString out = QDir(outFolder_).filePath(QStringLiteral("params.xml"));
        const QStringList args{QStringLiteral("--tcp"), tcp_, QStringLiteral("params"),
                               QStringLiteral("backup"), out};
        const auto matches = [&](const QString &path) {
            TableStore table;
            if (!table.LoadFromFile(path))
                return false;
            QMap<QString, QString> saved;
            for (int row = 0; row < table.RecordCount(); ++row)
                saved.insert(table.Value(row, 0), table.Value(row, 1));
            return saved == HeldValues(sim_->controller().snapshot());
        };
        const Tally tally = killAtPoints(args, out, matches, [this](int point) {
            sim_->controller().modify([point](ControllerData &d) {
                d.parameters.insert("AF13", QByteArray::number(100 + point));
                return true;
            });
        });
        qInfo("%s", qPrintable(tally.text("params backup")));
    }

    // A fleet backup over an earlier one, killed at points spread over the run and while it
    // saves: the controller's folder (or, killed between the two moves, the earlier one aside)
    // always holds one whole backup, its files the ones its record describes.
    void fleetBackupReplacesItsFolderWhole()
    {
        ControllerData data = ControllerData::factory();
        data.cards = GeneratedCards(300);
        startSimulator(data);
        const QString site = dir_->filePath(QStringLiteral("site.csv"));
        QFile file(site);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("name,transport,address,port,id\nnorth,tcp,127.0.0.1," +
                   tcp_.section(QLatin1Char(':'), 1).toUtf8() + ",1\n");
        file.close();
        const QStringList args{QStringLiteral("fleet"), QStringLiteral("backup"), site, outFolder_,
                               QStringLiteral("--to"),  QStringLiteral("400")};
        const QString north = QDir(outFolder_).filePath(QStringLiteral("north"));
        const auto whole = [&] {
            const QString folder =
                QFileInfo::exists(north) ? north : north + QStringLiteral(".previous");
            QString error;
            const std::optional<BackupRecord> record = BackupRecord::load(folder, error);
            return record && record->serialNumber == QLatin1String("12345678") &&
                   record
                       ->fileMismatch(QDir(folder).filePath(ParamFilePaths::DefaultFileName),
                                      QDir(folder).filePath(CardFile::DefaultFileName))
                       .isEmpty();
        };
        KillRun run(QStringLiteral(KT480CTL_PATH), env_);
        int exitCode = -1;
        const qint64 plainMs = run.plainRunMs(args, 1, &exitCode);
        QCOMPARE(exitCode, 0);
        QVERIFY(whole());
        QRandomGenerator random(20240301);
        int duringSave = 0;
        for (int point = 0; point < Points || (duringSave == 0 && point < 2 * Points); ++point) {
            sim_->controller().modify([point](ControllerData &d) {
                d.parameters.insert("AF13", QByteArray::number(100 + point));
                return true;
            });
            const KillRun::Result r =
                IsSavePoint(point)
                    ? run.killWhileSaving(args, outFolder_, random, SaveDelayUs)
                    : run.killAfter(args,
                                    qint64(plainMs * (point + random.generateDouble()) / Points),
                                    outFolder_);
            duringSave += r.duringSave ? 1 : 0;
            QVERIFY2(whole(),
                     qPrintable(QStringLiteral("point %1 (%2 ms)").arg(point).arg(r.elapsedMs)));
        }
        QVERIFY(duringSave > 0);
    }

    // A backup into a folder that holds the user's files too, over an earlier backup, killed
    // the moment its install begins and as each of its files is moved in: the earlier backup
    // or the new one can always be found (in the folder, or in the folder with what waits in
    // .backup.installing), and the next run, even one that never reaches its controller,
    // finishes the install before anything else. The user's file stays.
    void backupIntoAFolderIsInstalledWhole()
    {
        ControllerData data = ControllerData::factory();
        data.cards = GeneratedCards(20);
        startSimulator(data);
        const QDir folder(outFolder_);
        const QString notes = folder.filePath(QStringLiteral("notes.txt"));
        QFile file(notes);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("kept") == 4);
        file.close();
        const QStringList args{QStringLiteral("--tcp"),  tcp_,
                               QStringLiteral("backup"), outFolder_,
                               QStringLiteral("--to"),   QStringLiteral("40")};
        const QStringList names{BackupRecord::FileName, ParamFilePaths::DefaultFileName,
                                CardFile::DefaultFileName};
        const QString installing = folder.filePath(QStringLiteral(".backup.installing"));
        // Each file from .backup.installing where it waits there, else the folder's.
        const auto whole = [&] {
            QTemporaryDir found;
            for (const QString &name : names) {
                const QString waiting = QDir(installing).filePath(name);
                if (!QFile::copy(QFileInfo::exists(waiting) ? waiting : folder.filePath(name),
                                 found.filePath(name)))
                    return false;
            }
            QString error;
            const std::optional<BackupRecord> record = BackupRecord::load(found.path(), error);
            return record && record->serialNumber == QLatin1String("12345678") &&
                   record
                       ->fileMismatch(found.filePath(ParamFilePaths::DefaultFileName),
                                      found.filePath(CardFile::DefaultFileName))
                       .isEmpty();
        };
        KillRun run(QStringLiteral(KT480CTL_PATH), env_);
        const KillRun::Plain first = run.run(args);
        QVERIFY2(first.exitCode == 0, qPrintable(first.output));
        QVERIFY(whole());
        // The install begins, then each file is moved over the earlier one.
        const QStringList moments{installing, folder.filePath(names[0]), folder.filePath(names[1]),
                                  folder.filePath(names[2])};
        // Nearly every point falls into the install: half the points are plenty.
        constexpr int InstallPoints = std::max(Points / 2, 1);
        int halfInstalled = 0;
        for (int point = 0;
             point < InstallPoints || (halfInstalled == 0 && point < 2 * InstallPoints); ++point) {
            sim_->controller().modify([point](ControllerData &d) {
                d.parameters.insert("AF13", QByteArray::number(100 + point));
                return true;
            });
            const KillRun::Result r = run.killWhenChanged(args, moments[point % moments.size()]);
            QVERIFY2(whole(), qPrintable(QStringLiteral("point %1 (%2 ms, %3)")
                                             .arg(point)
                                             .arg(r.elapsedMs)
                                             .arg(r.killed ? "killed" : "ended")));
            if (!QFileInfo::exists(installing))
                continue;
            ++halfInstalled;
            const KillRun::Plain next =
                run.run({QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:1"),
                         QStringLiteral("restore"), outFolder_});
            QCOMPARE(next.exitCode, 1);
            QVERIFY2(!QFileInfo::exists(installing), qPrintable(next.output));
            QVERIFY(whole());
        }
        QVERIFY2(halfInstalled > 0, "no point fell into an install");
        QCOMPARE(ReadBytes(notes), QByteArray("kept"));
        qInfo("backup DIR: %d points fell into the install, each finished by the next run",
              halfInstalled);
    }

    // Every event the controller forgets once acknowledged is in the journal first; a killed
    // read leaves it there and the next read saves it. Each read adds its events to the one
    // file: a changed file holds every event it held before, and at the end every event once.
    void eventReadWithItsJournal()
    {
        constexpr int Events = 3000;
        startSimulator(WithEvents(Events));
        const QString out = QDir(outFolder_).filePath(QStringLiteral("events.xml"));
        QStringList held;
        const auto grown = [&](const QString &path) {
            const std::optional<QStringList> events = EventsIn(path);
            if (!events || events->mid(0, held.size()) != held)
                return false;
            held = *events;
            return true;
        };
        const Tally tally = killAtPoints(eventRead(out, 50), out, grown, {}, SmallSaveDelayUs);

        // A last read takes what the journal holds and everything the controller has left.
        KillRun run(QStringLiteral(KT480CTL_PATH), env_);
        const KillRun::Plain last = run.run(eventRead(out));
        QVERIFY2(last.exitCode == 0, qPrintable(last.output));
        QVERIFY(grown(out));
        QVERIFY(sim_->controller().snapshot().events.isEmpty());
        QVERIFY(savedOnce(held, Events));
        qInfo("%s; all %d events saved once", qPrintable(tally.text("records read --out")), Events);
    }

    // Killed at moments spread over a read and, at every third point, the moment the archive
    // has committed, before the journal is cleared: the next read stores the journal's
    // entries again, and the archive keeps each event once.
    void eventReadIntoTheArchive()
    {
        constexpr int Events = 1500;
        constexpr int ArchivePoints = Points * 3 / 5;
        ControllerData data = ControllerData::factory();
        const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
        for (int i = 0; i < Events; ++i)
            data.events << EventPayload(1, start.addSecs(i),
                                        QByteArray::number(i % 10000).rightJustified(4, '0'), 'A',
                                        0, 1, i + 1);
        startSimulator(data);
        const QString folder = dir_->filePath(QStringLiteral("archive"));
        QVERIFY(QDir().mkpath(folder));
        const QString db = QDir(folder).filePath(QStringLiteral("events.db"));
        const QStringList args{QStringLiteral("--tcp"),   tcp_,
                               QStringLiteral("records"), QStringLiteral("read"),
                               QStringLiteral("--limit"), QStringLiteral("50"),
                               QStringLiteral("--db"),    db};
        KillRun run(QStringLiteral(KT480CTL_PATH), env_);
        int exitCode = -1;
        const qint64 plainMs = run.plainRunMs(args, 1, &exitCode);
        QCOMPARE(exitCode, 0);
        QString error;
        EventArchive archive(*ArchiveAddress::parse(db, error));
        QVERIFY(archive.open(EventArchive::Use::Read));
        const QString journalPath = RecordJournal::PathFor(
            env_.value(QStringLiteral("KT480_JOURNAL_DIR")), QStringLiteral("12345678"));
        // The journal still holds an event the archive has: killed after the commit.
        const auto storedAndStillJournalled = [&] {
            RecordJournal journal(journalPath);
            if (!journal.open() || journal.pendingCount() == 0)
                return false;
            ArchiveQuery query;
            query.filter.since =
                RecordFilter::parseDataTime(journal.pending().first().record.DataTime);
            query.filter.until = query.filter.since;
            const auto rows = archive.query(query);
            return rows && !rows->isEmpty();
        };
        QRandomGenerator random(20240301);
        int killed = 0;
        int afterCommit = 0;
        for (int point = 0; point < ArchivePoints; ++point) {
            if (point % 3 == 2) {
                // The events are journalled before they are stored: the transaction that
                // commits after the journal grew is the one that stores them.
                const KillRun::Result r =
                    run.killWhenGone(args, db + QStringLiteral("-journal"), journalPath);
                killed += r.killed ? 1 : 0;
                afterCommit += r.killed && storedAndStillJournalled() ? 1 : 0;
            } else {
                const KillRun::Result r = run.killAfter(
                    args, qint64(plainMs * (point + random.generateDouble()) / ArchivePoints),
                    folder);
                killed += r.killed ? 1 : 0;
            }
        }
        const KillRun::Plain last =
            run.run({QStringLiteral("--tcp"), tcp_, QStringLiteral("records"),
                     QStringLiteral("read"), QStringLiteral("--db"), db});
        QVERIFY2(last.exitCode == 0, qPrintable(last.output));
        QVERIFY(sim_->controller().snapshot().events.isEmpty());

        const auto rows = archive.query({});
        QVERIFY(rows);
        QMap<QString, int> seen;
        for (const ArchivedRow &row : *rows)
            ++seen[row.record.DataTime + QLatin1Char(' ') + row.record.CardNO];
        QCOMPARE(rows->size(), Events);
        QCOMPARE(seen.size(), Events);
        QVERIFY2(afterCommit > 0, "no point fell between the archive's commit and the journal's "
                                  "clearing");
        qInfo("records read --db: %d points, %d killed, %d of them after the archive committed "
              "and before the journal was cleared; all %d events in the archive once",
              ArchivePoints, killed, afterCommit, Events);
    }

    // Killed after the file was saved and before the journal forgot its events, then run again
    // as a person would: the events of the first read are in the file once, beside the next.
    void eventReadKilledBetweenSaveAndJournal()
    {
        constexpr int Events = 300;
        const QString out = QDir(outFolder_).filePath(QStringLiteral("events.xml"));
        const QString journals = dir_->filePath(QStringLiteral("journal"));
        const QString journal = QStringLiteral("KT480NTV5-events-12345678.journal");
        KillRun run(QStringLiteral(KT480CTL_PATH), env_);
        // The journal is replaced (a new file beside it) only once the record file is saved.
        // That moment lasts microseconds: on a loaded machine the read may pass it unseen, so
        // it is tried afresh a few times.
        KillRun::Result killed;
        for (int attempt = 0; attempt < 5 && !killed.killed; ++attempt) {
            startSimulator(WithEvents(Events));
            QVERIFY(QDir(journals).removeRecursively() && QDir().mkpath(journals));
            QFile::remove(out);
            killed = run.killOnNewFileIn(eventRead(out, 50), journals,
                                         {journal, journal + QStringLiteral(".lock")});
        }
        QVERIFY(killed.killed);
        QCOMPARE(EventsIn(out).value_or(QStringList()).size(), 50);
        QVERIFY2(ReadBytes(QDir(journals).filePath(journal)).contains("savingTo"),
                 "not killed between the save and the journal's clearing");

        const KillRun::Plain again = run.run(eventRead(out, 50));
        QVERIFY2(again.exitCode == 0, qPrintable(again.output));
        const std::optional<QStringList> afterRerun = EventsIn(out);
        QVERIFY(afterRerun);
        QVERIFY2(savedOnce(*afterRerun, 100),
                 qPrintable(QStringLiteral("%1 events in the file").arg(afterRerun->size())));
        QCOMPARE(run.run(eventRead(out)).exitCode, 0);
        QVERIFY(savedOnce(EventsIn(out).value_or(QStringList()), Events));
    }

private:
    static ControllerData WithEvents(int events)
    {
        ControllerData data = ControllerData::factory();
        const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
        for (int i = 0; i < events; ++i)
            data.events << EventPayload(1, start.addSecs(i),
                                        QByteArray::number(i % 10000).rightJustified(4, '0'), 'A',
                                        0, 1, i + 1);
        return data;
    }

    QStringList eventRead(const QString &out, int limit = 0) const
    {
        QStringList args{QStringLiteral("--tcp"),   tcp_,
                         QStringLiteral("records"), QStringLiteral("read"),
                         QStringLiteral("--out"),   out};
        if (limit > 0)
            args << QStringLiteral("--limit") << QString::number(limit);
        return args;
    }

    // Each of `count` different events exactly once.
    static bool savedOnce(const QStringList &events, int count)
    {
        QMap<QString, int> seen;
        for (const QString &e : events)
            ++seen[e];
        for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
            if (it.value() != 1) {
                qWarning("%s saved %d times", qPrintable(it.key()), it.value());
                return false;
            }
        }
        return seen.size() == count;
    }

    void startSimulator(const ControllerData &data)
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.controllers = {data};
        sim_ = std::make_unique<SimulatorHost>(config);
        QVERIFY(sim_->isRunning());
        tcp_ = QStringLiteral("127.0.0.1:%1").arg(sim_->tcpPort());
    }

    // Runs the job once to learn its length and make the first file, then kills it at the
    // points. `complete` says whether a file is a whole one of the run (and may keep what it
    // holds); `change` alters the controller before a point, so that a new file differs
    // from the one before.
    Tally killAtPoints(const QStringList &args, const QString &out,
                       const std::function<bool(const QString &)> &complete,
                       const std::function<void(int)> &change, int saveDelayUs = SaveDelayUs)
    {
        KillRun run(QStringLiteral(KT480CTL_PATH), env_);
        int exitCode = -1;
        const qint64 plainMs = run.plainRunMs(args, 1, &exitCode);
        Tally tally;
        if (exitCode != 0 || !complete(out)) {
            QTest::qFail("the job does not succeed when left alone", __FILE__, __LINE__);
            return tally;
        }
        QRandomGenerator random(20240229);
        for (int point = 0; point < Points || (tally.duringSave == 0 && point < 2 * Points);
             ++point) {
            if (change)
                change(point);
            const QByteArray before = ReadBytes(out);
            const KillRun::Result r =
                IsSavePoint(point)
                    ? run.killWhileSaving(args, outFolder_, random, saveDelayUs)
                    : run.killAfter(args,
                                    qint64(plainMs * (point + random.generateDouble()) / Points),
                                    outFolder_);
            tally.killed += r.killed ? 1 : 0;
            tally.duringSave += r.duringSave ? 1 : 0;
            tally.endedAlone += r.killed ? 0 : 1;
            const QByteArray after = ReadBytes(out);
            if (after == before) {
                ++tally.kept;
                continue;
            }
            if (!complete(out)) {
                ++tally.partial;
                QTest::qFail(qPrintable(QStringLiteral("point %1 (%2 ms, %3): the file is neither "
                                                       "the earlier one nor a complete new one")
                                            .arg(point)
                                            .arg(r.elapsedMs)
                                            .arg(r.duringSave ? "while saving" : "")),
                             __FILE__, __LINE__);
                return tally;
            }
            ++tally.replaced;
        }
        // Nothing half-written is left beside the file either. A save links the finished
        // file under a temporary name before it renames it over the old one; a kill between
        // the two leaves that complete copy behind, which must load.
        const QString name = QFileInfo(out).fileName();
        for (const QString &file : QDir(outFolder_).entryList(QDir::Files)) {
            if (file == name)
                continue;
            TableStore copy;
            const bool temporaryName = file.size() == name.size() + 7 && file.startsWith(name);
            if (!temporaryName || !copy.LoadFromFile(QDir(outFolder_).filePath(file))) {
                QTest::qFail(qPrintable(QStringLiteral("left beside the file: ") + file), __FILE__,
                             __LINE__);
                return tally;
            }
            ++tally.completeCopies;
        }
        if (tally.duringSave == 0)
            QTest::qFail("no point fell into a save", __FILE__, __LINE__);
        return tally;
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QString outFolder_;
    QProcessEnvironment env_;
    std::unique_ptr<SimulatorHost> sim_;
    QString tcp_;
};

QTEST_GUILESS_MAIN(TestKill)
#include "test_kill.moc"
