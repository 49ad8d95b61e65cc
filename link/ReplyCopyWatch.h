#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <chrono>
#include <deque>

// Watches one link for replies that may be copies. A line that sends a reply twice lets the copy
// pass for the reply to the next command whenever the controller's own reply to that command is
// lost: a card, parameter or event reply does not name what it answers, and nothing else on the
// line shows it. A line shows that it can deliver such frames by delivering any frame outside
// the exchange that waits for it (a copy, a late reply, two replies at once); from then on a
// reply byte for byte the same as one taken within the reach of a copy may be that copy. On a
// line that never showed it nothing is doubted: a card walk over empty slots gets the same reply
// again and again.
class ReplyCopyWatch
{
public:
    // `reach`: how long after a reply its copy may still come.
    explicit ReplyCopyWatch(std::chrono::milliseconds reach);

    // Reply frames the line delivered that no exchange took.
    void noteFramesOutside(int frames);
    // The body of a reply an exchange took (echo and payload); true when the line has delivered
    // frames outside their exchange and took the same body within the reach before.
    bool take(const QByteArray &body);
    bool deliversStrayFrames() const { return deliversStrayFrames_; }

private:
    struct Taken
    {
        qint64 atMs;
        QByteArray body;
    };

    std::chrono::milliseconds reach_;
    QElapsedTimer clock_;
    // The bodies taken within the reach, oldest first.
    std::deque<Taken> recent_;
    bool deliversStrayFrames_ = false;
};
