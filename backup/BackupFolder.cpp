#include "BackupFolder.h"

#include "BackupRecord.h"
#include "CardFile.h"
#include "ParamFilePaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBackupFolder, "kt480.backup.folder")

namespace {

QString aside(const QString &folder)
{
    return QDir::cleanPath(folder) + QStringLiteral(".previous");
}

} // namespace

BackupFolder::BackupFolder(const QString &parent, const QString &prefix)
    : staging_(QDir(parent).filePath(prefix + QStringLiteral("-XXXXXX")))
{
}

QString BackupFolder::parameterPath() const
{
    return staging_.filePath(ParamFilePaths::DefaultFileName);
}

QString BackupFolder::cardPath() const
{
    return staging_.filePath(CardFile::DefaultFileName);
}

bool BackupFolder::isEmpty() const
{
    return QDir(staging_.path()).isEmpty();
}

void BackupFolder::RecoverFolder(const QString &folder)
{
    const QString previous = aside(folder);
    if (!QFileInfo(previous).isDir())
        return;
    if (!QFileInfo::exists(folder)) {
        if (!QDir().rename(previous, folder))
            qCWarning(lcBackupFolder) << "cannot put back" << previous << "as" << folder;
    } else if (!QDir(previous).removeRecursively()) {
        qCWarning(lcBackupFolder) << "cannot remove" << previous;
    }
}

bool BackupFolder::replaceFolder(const QString &folder, QString &error)
{
    RecoverFolder(folder);
    const QString previous = aside(folder);
    const bool hadOne = QFileInfo::exists(folder);
    if (hadOne && !QDir().rename(folder, previous)) {
        error =
            QStringLiteral("%1: cannot move the earlier backup aside to %2").arg(folder, previous);
        return false;
    }
    if (!QDir().rename(staging_.path(), folder)) {
        error =
            QStringLiteral("%1: cannot move the backup there from %2").arg(folder, staging_.path());
        if (hadOne && !QDir().rename(previous, folder))
            error += QStringLiteral("; the earlier backup is in %1").arg(previous);
        return false;
    }
    staging_.setAutoRemove(false);
    if (hadOne && !QDir(previous).removeRecursively())
        qCWarning(lcBackupFolder) << "cannot remove the earlier backup" << previous;
    return true;
}

bool BackupFolder::moveFilesInto(const QString &folder, QString &error)
{
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return false;
    }
    const QDir from(staging_.path());
    const QDir to(folder);
    for (const QString &name :
         {BackupRecord::FileName, ParamFilePaths::DefaultFileName, CardFile::DefaultFileName}) {
        const QString target = to.filePath(name);
        // rename() does not replace a file on every system: the old one goes first, and with
        // the record already in place a restore refuses the files until the last is in.
        if ((QFile::exists(target) && !QFile::remove(target)) ||
            !QFile::rename(from.filePath(name), target)) {
            error = QStringLiteral("%1: cannot move the backup there from %2")
                        .arg(target, staging_.path());
            return false;
        }
    }
    return true;
}

QString BackupFolder::keep()
{
    staging_.setAutoRemove(false);
    return staging_.path();
}
