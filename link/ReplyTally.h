#pragma once

#include <QString>
#include <QtGlobal>

// Counts the controller's reply frames over a link's life, so that a run can tell whether the
// line delivered replies no command was waiting for: a line that sends replies twice lets one
// command's reply pass for the next one's (a card or parameter reply does not name what it
// answers), and only the count of frames shows it.
struct ReplyTally
{
    quint64 framesSeen = 0;  // frames with a correct CRC, taken or dropped
    quint64 framesTaken = 0; // exchanges that ended with a reply (accepted or refused)
    quint64 timedOut = 0;    // exchanges without a reply: each may see its reply come late

    // Frames since `before` that neither an exchange took nor a time-out explains.
    quint64 straysSince(const ReplyTally &before) const
    {
        const quint64 seen = framesSeen - before.framesSeen;
        const quint64 explained = (framesTaken - before.framesTaken) + (timedOut - before.timedOut);
        return seen > explained ? seen - explained : 0;
    }
};

// The line that names such replies in a run's closing message.
QString StrayRepliesText(quint64 strays);
