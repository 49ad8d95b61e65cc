#pragma once

#include "AllBackup.h"
#include "ControllerData.h"

#include <QString>
#include <QStringList>

class TableStore;

// What one comparison of a controller with a file and an operation's outcome found: items
// (parameter codes, card numbers) that the outcome named as failed, and items missing or
// different without being named: silent losses, which must never happen.
struct SoakFindings
{
    int checked = 0;
    int named = 0;
    QStringList silent;

    void add(const SoakFindings &other);
};

// A backup: every parameter the source controller holds and every card of the range read is
// in the files with its value, or named as failed; the files hold nothing else.
SoakFindings CheckParameterBackup(const ControllerData &source, const TableStore &file,
                                  const AllBackup::Outcome &outcome);
SoakFindings CheckCardBackup(const ControllerData &source, int from, int to, const TableStore &file,
                             const AllBackup::Outcome &outcome);

// A restore: every row of the files is in the target controller, or named as failed; the
// target holds no card that the card file lacks (unless deleting its cards was named failed).
SoakFindings CheckParameterRestore(const TableStore &file, const ControllerData &target,
                                   const AllBackup::Outcome &outcome);
SoakFindings CheckCardRestore(const TableStore &file, const ControllerData &target,
                              const AllBackup::Outcome &outcome);
