// "IM" replies as the record read meets them: any text, decoded by its length and by the two
// event layouts, then kept in the record table and its file.
#include "EventDecoder.h"
#include "EventReply.h"
#include "FuzzTables.h"
#include "FuzzTargets.h"
#include "RecordTable.h"
#include "TableStore.h"

namespace {

void CheckDecoded(const DecodedEvent &decoded)
{
    const EventRecord &r = decoded.record;
    if (decoded.known) {
        bool numeric = false;
        FUZZ_REQUIRE(r.iStatus.toInt(&numeric) > 0 && numeric);
        r.iChannel.toInt(&numeric);
        FUZZ_REQUIRE(numeric);
        FUZZ_REQUIRE(r.APB.size() == 1 && r.APB.at(0).isDigit());
    } else {
        FUZZ_REQUIRE(r.iStatus == QStringLiteral("0"));
        FUZZ_REQUIRE(r.SStatus.startsWith(QStringLiteral("Unknown event ")));
    }
}

} // namespace

namespace Fuzz {

void EventReplies(QByteArrayView input)
{
    const QString text = QString::fromLatin1(input.data(), input.size());
    for (const qsizetype length :
         {text.size(), qsizetype(EventReply::ShortLayout), qsizetype(EventReply::LongLayout)}) {
        const std::optional<EventReply> reply = EventReply::parse(text, int(length));
        FUZZ_REQUIRE(reply.has_value() ==
                     (length == EventReply::ShortLayout || length == EventReply::LongLayout));
        if (!reply)
            continue;
        const DecodedEvent decoded = DecodeEvent(*reply);
        CheckDecoded(decoded);
        // Whatever the controller sent, the event must reach the record file unchanged.
        TableStore table;
        RecordTable::Recreate(table);
        RecordTable::Append(table, decoded.record);
        FUZZ_REQUIRE(table.RecordCount() == 1);
        RequireRoundTrip(table.Content());
    }
}

} // namespace Fuzz
