#pragma once

#include "RecordFilter.h"

#include <QString>

// What a record report was made from, named at the head of its first page: the controller the
// events came from, the period and the filter. The caller gives all three, whatever the events
// come from (the record window's table, a record file, an archive of many reads), and gives
// the report only the events that match.
struct ReportHeader
{
    // The serial number of the controller the events are of (of each, comma-separated, for an
    // archive report over several); empty when it is not known (events from a file).
    QString serialNumber;
    // The period is the filter's since and until; an open end is named by the events
    // themselves (the earliest or the latest date and time among them). The card and the
    // event codes are the filter proper.
    RecordFilter filter;
};
