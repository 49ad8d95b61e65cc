#pragma once

#include <QString>

class QFile;

// Writes what the system still holds of a file to the disk itself, so that it survives a
// crash or a power cut; false when the system reports an error.
bool SyncFileToDisk(QFile &file);
// The same for a folder's entries (a file just created in it).
void SyncFolderToDisk(const QString &folder);
