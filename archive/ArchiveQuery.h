#pragma once

#include "EventRecord.h"
#include "RecordFilter.h"

#include <QDateTime>
#include <QList>
#include <QString>

// What to take from the archive: the filters of a record report, one controller (by serial
// number or by the name a site file gives it), and at most so many events, oldest first.
struct ArchiveQuery
{
    RecordFilter filter;
    QString controller; // empty: every controller
    qint64 limit = 0;   // 0: no limit

    // "controller 12345678, 2024/01/01 00:00:00 to 2024/01/31 23:59:59, card 1234, codes
    // 11,40-50": what the query asks, for a report's heading and for messages.
    QString description() const;
};

// An event as the archive returns it.
struct ArchivedRow
{
    QString controller;
    QString siteName;
    EventRecord record; // IONO: the row's number as the table that held it numbered it
    QDateTime readTime; // invalid when not known
};
