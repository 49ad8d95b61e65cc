#pragma once

#include "Comm.h"
#include "EventDecoder.h"
#include "EventReply.h"
#include "Language.h"
#include "ProgressState.h"
#include "RecordJournal.h"
#include "RecordReader.h"
#include "RecordTable.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

enum class Via
{
    Tcp,
    Udp,
    Serial
};
Q_DECLARE_METATYPE(Via)

inline void AddVias()
{
    QTest::addColumn<Via>("via");
    QTest::newRow("tcp") << Via::Tcp;
    QTest::newRow("pty") << Via::Serial;
}

// A simulated controller with an event log, a link to it, a reader and a journal in a
// folder of the test's own.
struct RecordSite
{
    explicit RecordSite(Via via, const QList<QByteArray> &events)
    {
        SimulatorConfig config;
        config.tcpPort = 0;
        config.udpPort = 0;
        config.serial = via == Via::Serial;
        ControllerData controller = ControllerData::factory();
        controller.events = events;
        config.controllers = {controller};
        sim = std::make_unique<SimulatorHost>(config);
        switch (via) {
        case Via::Tcp: {
            comm.CommOpenTcp(QStringLiteral("127.0.0.1"), sim->tcpPort());
            QEventLoop loop;
            QObject::connect(&comm, &Comm::tcpConnected, &loop, &QEventLoop::quit);
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
            break;
        }
        case Via::Udp:
            comm.CommOpenUdp(QStringLiteral("127.0.0.1"), sim->udpPort(), 0);
            break;
        case Via::Serial:
            comm.CommOpenSerialDevice(sim->serialPath(), QStringLiteral("115200,n,8,1"));
            break;
        }
        comm.setDeviceConnected(true);
        openJournal();
    }

    void openJournal()
    {
        journal = std::make_unique<RecordJournal>(
            RecordJournal::PathFor(folder.path(), QStringLiteral("12345678")));
        QVERIFY2(journal->open(), qPrintable(journal->error()));
    }

    QList<QByteArray> controllerEvents() { return sim->controller().snapshot().events; }

    QTemporaryDir folder;
    std::unique_ptr<SimulatorHost> sim;
    Comm comm;
    ProgressState progress;
    Language language;
    RecordReader reader{comm, progress, language};
    std::unique_ptr<RecordJournal> journal;
    TableStore table;
};

// The rows an event log should give, in order.
inline QList<EventRecord> ExpectedRows(const QList<QByteArray> &events, int firstNumber = 1)
{
    QList<EventRecord> rows;
    for (const QByteArray &payload : events) {
        const auto reply = EventReply::parse(QString::fromLatin1(payload), int(payload.size()));
        EventRecord record = reply ? DecodeEvent(*reply).record : EventRecord{};
        record.IONO = RecordTable::RowNumberText(firstNumber++);
        rows << record;
    }
    return rows;
}

inline QList<EventRecord> TableRows(const TableStore &table)
{
    QList<EventRecord> rows;
    for (int row = 0; row < table.RecordCount(); ++row)
        rows << RecordTable::RowAt(table, row);
    return rows;
}
