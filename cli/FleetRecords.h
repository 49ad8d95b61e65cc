#pragma once

#include <QString>

class Comm;
struct ArchiveAddress;
struct FleetResult;
struct FleetTask;

// fleet records: each controller's events read into one archive, each controller with its
// own journal, which is cleared only once the archive has committed that controller's events.

// Opens the archive once before any controller is asked: creates it where there is none, and
// names an archive that cannot take events (empty when it can).
QString PrepareFleetArchive(const ArchiveAddress &address);
// One identified controller's read, on the job's thread, with a connection of its own.
void FleetReadRecords(Comm &comm, const FleetTask &task, FleetResult &result);
