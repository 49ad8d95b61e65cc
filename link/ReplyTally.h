#pragma once

#include <QString>
#include <QtGlobal>

// Counts the controller's replies that no command was waiting for over a link's life. A line
// that sends replies twice lets one command's reply pass for the next one's (a card or
// parameter reply does not name what it answers); the frames left over show it. A frame counts
// here only when no lost reply of the command that saw it explains it.
struct ReplyTally
{
    quint64 strays = 0;

    quint64 straysSince(const ReplyTally &before) const { return strays - before.strays; }
};

// The line that names such replies in a run's closing message.
QString StrayRepliesText(quint64 strays);
