#pragma once

#include <QString>

// What a "Write changes only" did to the controller's card numbers, in the one wording the
// card window and All Restore both show, whatever the sync's end.
QString SyncCountsText(int written, int cleared, int unchanged, int unreadable, int failed);
