#pragma once

#include "ParamResult.h"
#include "TableStore.h"

#include <QCoreApplication>

class Language;
class ParamTransfer;
class Settings;
class UserPrompt;

// Parameter backup (read every "AF" code and the device data groups into the table, then
// save it) and restore (load a file, then send its rows in file order), without widgets.
//
// Both first check that the controller answers a serial-number read, so a silent link
// fails at once. Several silent codes in a row are checked the same way, because a
// controller may simply not answer codes it lacks; only a failed check ends the run.
// A restore file is untrusted: only catalogue codes with safe values are sent.
class ParamFileTransfer
{
    Q_DECLARE_TR_FUNCTIONS(ParamFileTransfer)

public:
    static constexpr int BackupProgressMaximum = 610;
    static constexpr int RestoreProgressExtra = 10;
    // Silent codes in a row after which the link is checked.
    static constexpr int SilenceBeforeCheck = 3;

    ParamFileTransfer(ParamTransfer &transfer, Settings &settings, UserPrompt &prompt,
                      const Language &language);

    // The path as the user sees it; ".xml" is added for the file when it lacks "XML".
    // A backup that ended part-way replaces an existing file only when the user says so.
    ParamResult backup(const QString &shownPath);
    ParamResult restore(const QString &shownPath);
    // A restore in two steps, so that a caller checks every file before anything is written:
    // load and check the file, then write the rows loaded.
    ParamResult load(const QString &shownPath);
    ParamResult writeLoaded(const QString &shownPath);

    // The rows of the last backup or restore.
    const TableStore &table() const { return table_; }

private:
    void defineTable();
    ParamResult saveBackup(const QString &shownPath, bool complete, const QString &lostAt);

    ParamTransfer &transfer_;
    Settings &settings_;
    UserPrompt &prompt_;
    const Language &language_;
    TableStore table_;
};
