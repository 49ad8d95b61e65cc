#include "ReplyCopyWatch.h"

#include <algorithm>

namespace {

// Bounds the memory of a line that answers faster than a reply a millisecond for a whole reach;
// the oldest bodies go first.
constexpr std::size_t MostRecentBodies = 8192;

} // namespace

ReplyCopyWatch::ReplyCopyWatch(std::chrono::milliseconds reach) : reach_(reach)
{
    clock_.start();
}

void ReplyCopyWatch::noteFramesOutside(int frames)
{
    if (frames > 0)
        deliversStrayFrames_ = true;
}

bool ReplyCopyWatch::take(const QByteArray &body)
{
    const qint64 now = clock_.elapsed();
    while (!recent_.empty() &&
           (now - recent_.front().atMs > reach_.count() || recent_.size() >= MostRecentBodies))
        recent_.pop_front();
    // Bodies are kept from the start, so that the copy of a reply taken before the line first
    // showed a stray frame is known too.
    const bool seen =
        deliversStrayFrames_ && std::any_of(recent_.cbegin(), recent_.cend(),
                                            [&](const Taken &t) { return t.body == body; });
    recent_.push_back({now, body});
    return seen;
}
