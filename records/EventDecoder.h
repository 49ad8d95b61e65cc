#pragma once

#include "EventRecord.h"

struct EventReply;

// What an event becomes in the record table.
struct DecodedEvent
{
    EventRecord record; // every field but IONO
    // False for a pair outside the catalogue or a door channel outside 1 to 4: such an event
    // is still kept (code 0, its raw type, status and channel in the text), because the
    // controller forgets it once acknowledged.
    bool known = true;
};

DecodedEvent DecodeEvent(const EventReply &reply);

// "Unknown event X5 channel 9": the text of an event outside the catalogue.
QString UnknownEventText(QChar type, QChar status, QChar channel);
