// The event archive: 1 000 000 events of 20 controllers over a year stored in batches of
// 10 000, into SQLite on the build disk and into PostgreSQL on loopback (a server of the
// benchmark's own, flushing to disk as a real one does); the searches by card and by controller
// and month over them; and 10 000 events read from the simulator into the archive against the
// same read into a record file.
#include "ArchiveBatch.h"
#include "Comm.h"
#include "EventArchive.h"
#include "EventLogMix.h"
#include "Language.h"
#include "PgCluster.h"
#include "ProgressState.h"
#include "RecordFile.h"
#include "RecordJournal.h"
#include "RecordReader.h"
#include "RecordTable.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUuid>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>

namespace {

constexpr int Controllers = 20;
constexpr int EventsEach = 50000;
constexpr int Batch = 10000;
constexpr int Cards = 10000;
constexpr int Searches = 20;
constexpr int SqliteRounds = 3;

double seconds(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e9;
}

QString serialOf(int controller)
{
    return QString::number(40000000 + controller);
}

// One controller's events over 2024, as a read's journal gives them: each with an id of its
// own.
ArchiveBatch batchOf(int controller, int first, int count, QRandomGenerator &random)
{
    ArchiveBatch batch{serialOf(controller), QStringLiteral("door-%1").arg(controller), {}};
    const QString reading = QUuid::createUuid().toString(QUuid::WithoutBraces);
    // In UTC: a local time would look up the time zone at every step.
    const QDateTime start(QDate(2024, 1, 1), QTime(0, 0), Qt::UTC);
    const qint64 step = 366LL * 24 * 3600 / EventsEach;
    for (int i = first; i < first + count; ++i) {
        ArchivedEvent event;
        EventRecord &r = event.record;
        r.IONO = RecordTable::RowNumberText(i + 1);
        r.DataTime = start.addSecs(i * step).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        r.CardNO = QString::number(random.bounded(Cards)).rightJustified(4, u'0');
        r.iStatus = QStringLiteral("11");
        r.SStatus = QStringLiteral("In check OK");
        r.iChannel = QStringLiteral("1");
        r.APB = QStringLiteral("0");
        event.key = QStringLiteral("journal:%1/%2").arg(reading).arg(i + 1);
        event.pointer = RecordTable::RowNumberText(i + 1);
        event.reply =
            QStringLiteral("1") + r.DataTime + r.CardNO + QStringLiteral("A0001") + event.pointer;
        event.readTime = QDateTime::currentDateTimeUtc();
        batch.events << event;
    }
    return batch;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// Stores the million into each of the addresses in turn (fresh archives), as rounds: the
// machine may be shared, so the median of the rounds is the figure. The searches run over the
// last.
void million(const QStringList &addresses, const char *where,
             const std::function<qint64(const QString &)> &size)
{
    QList<double> rounds;
    std::unique_ptr<EventArchive> archive;
    QRandomGenerator random(7);
    for (const QString &address : addresses) {
        QString error;
        archive = std::make_unique<EventArchive>(*ArchiveAddress::parse(address, error));
        if (!archive->open(EventArchive::Use::Write)) {
            std::printf("%s: %s\n", where, qPrintable(archive->error()));
            return;
        }
        random.seed(7);
        bool ok = true;
        // Only the stores are timed, not the making of the events. The processor time says
        // what the insert itself costs.
        double insert = 0;
        std::clock_t cpuTicks = 0;
        for (int first = 0; first < EventsEach && ok; first += Batch) {
            for (int c = 0; c < Controllers && ok; ++c) {
                const ArchiveBatch batch = batchOf(c, first, Batch, random);
                const std::clock_t cpuBefore = std::clock();
                insert += seconds([&] { ok = archive->store(batch).has_value(); });
                cpuTicks += std::clock() - cpuBefore;
            }
        }
        const double cpu = double(cpuTicks) / CLOCKS_PER_SEC;
        const std::optional<qint64> count = archive->eventCount();
        std::printf("%s: %lld events stored in %d transactions of %d: %.2f s (%.0f events/s; "
                    "%.2f s of processor time in this process)%s, %.0f MiB\n",
                    where, count.value_or(-1), Controllers * EventsEach / Batch, Batch, insert,
                    count.value_or(0) / insert, cpu, ok ? "" : " FAILED",
                    size(address) / 1048576.0);
        rounds << insert;
    }
    if (rounds.size() > 1)
        std::printf("%s: median of %lld rounds %.2f s\n", where, qint64(rounds.size()),
                    median(rounds));

    QList<double> byCard;
    QList<double> byMonth;
    qsizetype cardRows = 0;
    qsizetype monthRows = 0;
    for (int i = 0; i < Searches; ++i) {
        ArchiveQuery card;
        card.filter.card = QString::number(random.bounded(Cards));
        byCard << seconds(
            [&] { cardRows += archive->query(card).value_or(QList<ArchivedRow>()).size(); });
        ArchiveQuery month;
        month.controller = serialOf(random.bounded(Controllers));
        const QDate first(2024, 1 + random.bounded(12), 1);
        month.filter.since = QDateTime(first, QTime(0, 0));
        month.filter.until = QDateTime(first.addMonths(1).addDays(-1), QTime(23, 59, 59));
        byMonth << seconds(
            [&] { monthRows += archive->query(month).value_or(QList<ArchivedRow>()).size(); });
    }
    std::printf(
        "%s: search by card %.1f ms median, %.1f ms slowest (%lld events each); by "
        "controller and month %.1f ms median, %.1f ms slowest (%lld events each)\n",
        where, 1000 * median(byCard), 1000 * *std::max_element(byCard.cbegin(), byCard.cend()),
        qint64(cardRows / Searches), 1000 * median(byMonth),
        1000 * *std::max_element(byMonth.cbegin(), byMonth.cend()), qint64(monthRows / Searches));
}

bool openTcp(Comm &comm, quint16 port)
{
    comm.CommOpenTcp(QStringLiteral("127.0.0.1"), port);
    QEventLoop loop;
    QObject::connect(&comm, &Comm::tcpConnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    return comm.TcpConnected();
}

// 10 000 events read and kept: into a record file, or into the archive. Both journal every
// event before its acknowledgement and clear the journal once the events are kept.
void readTenThousand(const QString &folder, bool intoArchive)
{
    constexpr int Events = 10000;
    SimulatorConfig config;
    config.tcpPort = 0;
    ControllerData controller = ControllerData::factory();
    controller.events = MixedEventLog(Events, intoArchive ? 3 : 4);
    config.controllers = {controller};
    SimulatorHost sim(config);
    Comm comm;
    if (!openTcp(comm, sim.tcpPort()))
        return;
    ProgressState progress;
    const Language language;
    RecordReader reader(comm, progress, language);
    const QString serial = intoArchive ? QStringLiteral("archive") : QStringLiteral("file");
    RecordJournal journal(RecordJournal::PathFor(folder, serial));
    journal.open();
    QString error;
    EventArchive archive(*ArchiveAddress::parse(folder + QStringLiteral("/read.db"), error));
    if (intoArchive && !archive.open(EventArchive::Use::Write))
        return;
    TableStore table;
    ReadOutcome outcome;
    double keep = 0;
    bool kept = false;
    const double total = seconds([&] {
        outcome = reader.read(table, journal, RecordReader::NoLimit);
        keep = seconds([&] {
            kept =
                intoArchive
                    ? archive.store(ArchiveBatch::FromJournal(serial, QString(), journal.pending()))
                          .has_value()
                    : bool(RecordFile::Save(table, folder + QStringLiteral("/read.xml")));
            kept = kept && journal.clearPending();
        });
    });
    std::printf("read %d events into %s: %.2f s, of which keeping them %.3f s%s\n", outcome.read,
                intoArchive ? "the archive (SQLite)" : "a record file", total, keep,
                kept ? "" : " FAILED");
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("KT480_LOOPBACK_ONLY", "1");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("kt480.*.info=false"));
    QTemporaryDir folder(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/bench-archive-XXXXXX"));
    // "insert": the million alone, without the reads.
    const bool insertOnly = app.arguments().contains(QStringLiteral("insert"));
    if (!insertOnly) {
        readTenThousand(folder.path(), false);
        readTenThousand(folder.path(), true);
    }

    QStringList sqlite;
    for (int round = 1; round <= SqliteRounds; ++round)
        sqlite << folder.filePath(QStringLiteral("million-%1.db").arg(round));
    million(sqlite, "SQLite", [](const QString &path) { return QFileInfo(path).size(); });

    PgCluster server;
    if (!server.start(true)) {
        std::printf("PostgreSQL: skipped (%s)\n", qPrintable(server.error()));
        return 0;
    }
    qputenv("PGPASSWORD", server.password().toUtf8());
    if (!server.createDatabase(QStringLiteral("million"))) {
        std::printf("PostgreSQL: %s\n", qPrintable(server.error()));
        return 1;
    }
    million({server.address(QStringLiteral("million"))}, "PostgreSQL, loopback",
            [](const QString &) { return 0; });
    return 0;
}
