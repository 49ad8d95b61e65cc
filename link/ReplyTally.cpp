#include "ReplyTally.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>

QString StrayRepliesText(quint64 strays)
{
    const int count = static_cast<int>(std::min<quint64>(strays, 1000000));
    return QCoreApplication::translate(
        "ReplyTally",
        "the line delivered %n reply(ies) that no command was waiting for (replies sent "
        "twice?), so values read may belong to other numbers: read again, over TCP on a UDP "
        "network",
        nullptr, count);
}
