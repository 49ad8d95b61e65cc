// Event log reads against the in-process simulator over TCP loopback, with the journal on
// disk before every acknowledgement: 10 000 events; 100 000 events with the link cut twice
// part-way; and the report of 10 000 rows as PDF.
#include "Comm.h"
#include "EventLogMix.h"
#include "Language.h"
#include "ProgressState.h"
#include "RecordJournal.h"
#include "RecordReader.h"
#include "RecordReport.h"
#include "RecordTable.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

double seconds(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e9;
}

// Resident memory in MiB (Linux); 0 where it cannot be read.
double residentMiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096.0 / (1024 * 1024) : 0;
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

// Every pointer 1..count once, in order.
bool eachOnce(const TableStore &table, const QList<QByteArray> &events)
{
    if (table.RecordCount() != events.size())
        return false;
    const int field = table.FieldIndex(QStringLiteral("DataTime"));
    for (int row = 0; row < table.RecordCount(); ++row) {
        const QByteArray &e = events[row];
        const QString expected =
            QString::fromLatin1(e.mid(1, 4) + '/' + e.mid(5, 2) + '/' + e.mid(7, 2) + ' ' +
                                e.mid(9, 2) + ':' + e.mid(11, 2) + ':' + e.mid(13, 2));
        if (table.Value(row, field) != expected)
            return false;
    }
    return true;
}

void readTenThousand(const QString &folder, const char *where)
{
    constexpr int Events = 10000;
    SimulatorConfig config;
    config.tcpPort = 0;
    ControllerData controller = ControllerData::factory();
    const QList<QByteArray> events = MixedEventLog(Events);
    controller.events = events;
    config.controllers = {controller};
    SimulatorHost sim(config);
    Comm comm;
    if (!openTcp(comm, sim.tcpPort()))
        return;
    ProgressState progress;
    const Language language;
    RecordReader reader(comm, progress, language);
    RecordJournal journal(RecordJournal::PathFor(folder, QStringLiteral("bench10k")));
    journal.open();
    TableStore table;
    ReadOutcome outcome;
    const double before = residentMiB();
    const double time =
        seconds([&] { outcome = reader.read(table, journal, RecordReader::NoLimit); });
    std::printf("read %d events, TCP loopback, journal %s, synced before every IN: %.2f s "
                "(%.0f events/s, %.3f ms each), %s, each once: %s, journal %.1f MiB, "
                "%.1f MiB more resident\n",
                outcome.read, where, time, outcome.read / time, 1000 * time / outcome.read,
                qPrintable(outcome.endName()), eachOnce(table, events) ? "yes" : "NO",
                QFileInfo(journal.path()).size() / 1048576.0, residentMiB() - before);
}

void readHundredThousandWithCuts(const QString &folder)
{
    constexpr int Events = 100000;
    SimulatorConfig config;
    config.tcpPort = 0;
    ControllerData controller = ControllerData::factory();
    const QList<QByteArray> events = MixedEventLog(Events, 11);
    controller.events = events;
    config.controllers = {controller};
    SimulatorHost sim(config);
    Comm comm;
    if (!openTcp(comm, sim.tcpPort()))
        return;
    ProgressState progress;
    const Language language;
    RecordReader reader(comm, progress, language);
    RecordJournal journal(RecordJournal::PathFor(folder, QStringLiteral("bench100k")));
    journal.open();
    TableStore table;

    // Part-way the line dies between an event and its acknowledgement (which never reaches
    // the controller); later the connection itself is gone.
    bool deadLine = false;
    bool pulled = false;
    QObject::connect(&reader, &RecordReader::status, &reader, [&] {
        if (!deadLine && table.RecordCount() == 30000) {
            deadLine = true;
            sim.controller().modify([](ControllerData &d) {
                d.lostAcknowledgements = 5;
                return true;
            });
        } else if (!pulled && table.RecordCount() == 70000) {
            pulled = true;
            comm.CommClose();
        }
    });
    int reads = 0;
    int duplicates = 0;
    QList<double> memory;
    const double start = residentMiB();
    ReadOutcome outcome;
    const double time = seconds([&] {
        while (reads < 10) {
            ++reads;
            outcome = reader.read(table, journal, RecordReader::NoLimit);
            duplicates += outcome.duplicates;
            memory << residentMiB() - start;
            if (outcome.end == ReadOutcome::End::EndOfLog)
                break;
            // Back on the line: the connection made again where it was lost.
            if (!comm.TcpConnected())
                openTcp(comm, sim.tcpPort());
        }
    });
    QStringList growth;
    for (const double m : memory)
        growth << QString::number(m, 'f', 1);
    std::printf("read %d events with the link cut twice: %.2f s in %d reads (%.0f events/s, "
                "the two cuts' time-outs included), %d sent again and taken once, each once: "
                "%s; resident memory after each read +%s MiB (table rows %.0f bytes each)\n",
                table.RecordCount(), time, reads, table.RecordCount() / time, duplicates,
                eachOnce(table, events) ? "yes" : "NO",
                qPrintable(growth.join(QStringLiteral(", +"))),
                memory.isEmpty() ? 0.0 : memory.last() * 1048576.0 / table.RecordCount());
}

void reportTenThousand(const QString &folder)
{
    TableStore table;
    RecordTable::Recreate(table);
    const QList<QByteArray> events = MixedEventLog(10000);
    for (int i = 0; i < events.size(); ++i)
        RecordTable::Append(table, {{},
                                    QString::fromLatin1(events[i].mid(15, 4)),
                                    QStringLiteral("2008/09/22 14:05:09"),
                                    QStringLiteral("11"),
                                    QStringLiteral("In check OK"),
                                    QStringLiteral("1"),
                                    QStringLiteral("0")});
    for (const int language : {Language::English, Language::TraditionalChinese}) {
        const QString pdf = folder + QStringLiteral("/report-%1.pdf").arg(language);
        const RecordReport report(table, language);
        const double before = residentMiB();
        bool ok = false;
        const double time = seconds([&] { ok = bool(report.writePdf(pdf)); });
        std::printf("report of 10000 rows to PDF (%s): %.2f s, %d pages, %.1f MiB file, "
                    "%.1f MiB more resident%s\n",
                    language == Language::English ? "English" : "Traditional Chinese", time,
                    report.pageCount(), QFileInfo(pdf).size() / 1048576.0, residentMiB() - before,
                    ok ? "" : " FAILED");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // A benchmark talks to its own simulator only, and draws its report off screen.
    qputenv("KT480_LOOPBACK_ONLY", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The journal where a user's lives: on the disk, not in memory.
    QTemporaryDir folder(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/bench-records-XXXXXX"));
    readTenThousand(folder.path(), "on the build disk");
    // Where syncing costs nothing, what is left is the read's own time.
    QTemporaryDir memory(QStringLiteral("/dev/shm/bench-records-XXXXXX"));
    if (memory.isValid())
        readTenThousand(memory.path(), "in memory (tmpfs)");
    readHundredThousandWithCuts(folder.path());
    reportTenThousand(folder.path());
    return 0;
}
