#pragma once

#include "Comm.h"
#include "EventDecoder.h"
#include "EventReply.h"
#include "Language.h"
#include "ProgressState.h"
#include "RecordJournal.h"
#include "RecordReader.h"
#include "RecordTable.h"
#include "SimLink.h"
#include "SimulatorHost.h"
#include "TableStore.h"

#include <QTemporaryDir>
#include <QTest>
#include <memory>

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
        OpenSimLink(comm, *sim, via);
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
