#pragma once

#include "AllBackup.h"

#include <QString>

class Comm;
struct FleetResult;
struct FleetTask;

// What a restore of the folder would change on the controller, found by reading its
// parameters and cards; nothing is written to it. Mirrors the restore: parameter rows a
// restore would not send are passed over, and a card file without rows, or with rows that
// cannot be written, leaves the controller's cards as they are. The cards held outside the
// backup's range are read too: a restore would delete them.
void FleetDryRun(Comm &comm, const FleetTask &task, const QString &folder,
                 const AllBackup::RestorePlan &plan, FleetResult &result);
