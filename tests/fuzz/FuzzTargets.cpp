#include "FuzzTargets.h"

#include <array>
#include <cstdio>
#include <cstdlib>

namespace Fuzz {

std::span<const Target> Targets()
{
    static constexpr std::array<Target, 8> targets{{
        {"reply_frame", ReplyFrames},
        {"reader_frame", ReaderFrames},
        {"request_frame", RequestFrames},
        {"data_packet", DataPacket},
        {"csv_file", CsvFile},
        {"line_settings", LineSettings},
        {"event_reply", EventReplies},
        {"card_reply", CardReplies},
    }};
    return targets;
}

void Broken(const char *rule, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: rule broken: %s\n", file, line, rule);
    std::abort();
}

} // namespace Fuzz
