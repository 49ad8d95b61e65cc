#pragma once

#include <QByteArrayView>
#include <span>

// The fuzz targets: each takes one arbitrary input and checks what must hold for any input.
// A broken rule aborts with a message, so that libFuzzer keeps the input and the corpus
// replay fails on it.
namespace Fuzz {

// Controller replies as the utility assembles and checks them.
void ReplyFrames(QByteArrayView input);
// Desk-reader replies.
void ReaderFrames(QByteArrayView input);
// Requests as a controller (the simulator) assembles, checks and answers them.
void RequestFrames(QByteArrayView input);
// A data packet file loaded into the table store, saved and loaded again.
void DataPacket(QByteArrayView input);
// A CSV file converted to a table, saved in both forms and read again.
void CsvFile(QByteArrayView input);
// A serial line settings text.
void LineSettings(QByteArrayView input);
// An "IM" reply decoded into an event row.
void EventReplies(QByteArrayView input);
// An "HB" reply decoded into a card, and card rows encoded for "HA".
void CardReplies(QByteArrayView input);

struct Target
{
    const char *name; // also the folder of its corpus
    void (*run)(QByteArrayView input);
};

std::span<const Target> Targets();

// Aborts with the rule and the place when the condition does not hold.
[[noreturn]] void Broken(const char *rule, const char *file, int line);

} // namespace Fuzz

#define FUZZ_REQUIRE(condition)                                                                    \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::Fuzz::Broken(#condition, __FILE__, __LINE__);                                        \
    } while (false)
