#pragma once

#include "EventRecord.h"

#include <QDateTime>
#include <QString>

// One event on its way into the archive, with the key that makes storing it twice a no-op.
struct ArchivedEvent
{
    EventRecord record;
    // Unique among the events of one controller (see ArchiveBatch for how it is made).
    QString key;
    QString pointer;    // the controller's record pointer; empty when not known
    QString reply;      // the reply the event came in; empty when not known
    QDateTime readTime; // invalid when not known (an event brought in from a file)
    // 0 for an event the key alone identifies. n > 0 for a row of a file or a table that
    // carries no identity of its own: the n-th of its rows alike in time, card, code, channel
    // and APB. It is added only while the archive holds fewer than n events alike of the
    // controller, so that a row already stored by any way (a read, another file, the same file
    // again) is not stored a second time.
    int alikeOrdinal = 0;
};
