#include "SyncCounts.h"

#include <QCoreApplication>

QString SyncCountsText(int written, int cleared, int unchanged, int unreadable, int failed)
{
    return QCoreApplication::translate("SyncCounts", "Written: %1, cleared: %2, unchanged: %3, "
                                                     "unreadable: %4, failed: %5")
        .arg(written)
        .arg(cleared)
        .arg(unchanged)
        .arg(unreadable)
        .arg(failed);
}
