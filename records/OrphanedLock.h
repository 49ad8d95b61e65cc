#pragma once

#include <QString>

// Lock files left by a program that ended while it was creating them: empty (a running
// program writes its details at once) and held by no program. Besides the lock file itself
// this looks at the ".rmlock" files beside it, under which a stale lock is removed: an empty
// one of those holds every later program off as well. Files younger than a moment are given
// that moment, in case their program is still starting. Returns whether any was removed.
bool RemoveOrphanedLockFiles(const QString &lockPath);
