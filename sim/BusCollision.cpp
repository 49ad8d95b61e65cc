#include "BusCollision.h"

#include <vector>

namespace {

constexpr int DataBits = 8;
// A start bit, the data bits and a stop bit.
constexpr int BitsPerCharacter = DataBits + 2;
// How many bit times later each controller starts answering than the one before it.
constexpr int StaggerBits = 3;

// The line levels of one transmitter: idle (1) for `delayBits`, then its characters.
std::vector<bool> LineBits(const QByteArray &frame, int delayBits)
{
    std::vector<bool> bits(delayBits, true);
    bits.reserve(delayBits + frame.size() * BitsPerCharacter);
    for (const char c : frame) {
        bits.push_back(false);
        for (int bit = 0; bit < DataBits; ++bit)
            bits.push_back(((static_cast<uchar>(c) >> bit) & 1) != 0);
        bits.push_back(true);
    }
    return bits;
}

} // namespace

QByteArray OverlappingFrames(const QList<QByteArray> &frames)
{
    std::vector<bool> line;
    for (int k = 0; k < frames.size(); ++k) {
        const std::vector<bool> bits = LineBits(frames.at(k), k * StaggerBits);
        if (line.size() < bits.size())
            line.resize(bits.size(), true);
        for (std::size_t i = 0; i < bits.size(); ++i)
            line[i] = line[i] && bits[i];
    }
    // The receiver: a 0 where it waits for a character is a start bit; the data bits follow,
    // and past the end of the line it reads idle.
    QByteArray received;
    std::size_t at = 0;
    while (at < line.size()) {
        if (line[at]) {
            ++at;
            continue;
        }
        uchar c = 0;
        for (int bit = 0; bit < DataBits; ++bit) {
            const std::size_t sample = at + 1 + bit;
            if (sample >= line.size() || line[sample])
                c |= uchar(1u << bit);
        }
        received.append(static_cast<char>(c));
        at += BitsPerCharacter;
    }
    return received;
}
