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

// A finished backup on its way into a folder that holds other files: it is the folder's
// backup from the moment it has this name.
QString installing(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral(".backup.installing"));
}

const QStringList &fileNames()
{
    static const QStringList names{BackupRecord::FileName, ParamFilePaths::DefaultFileName,
                                   CardFile::DefaultFileName};
    return names;
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

QString BackupFolder::RecoverFiles(const QString &folder)
{
    const QString from = installing(folder);
    if (!QFileInfo(from).isDir())
        return {};
    const QDir source(from);
    const QDir target(folder);
    for (const QString &name : fileNames()) {
        // A file no longer there was moved before the kill.
        if (!QFileInfo::exists(source.filePath(name)))
            continue;
        // rename() does not replace a file on every system: the old one goes first, which
        // loses nothing, since the new one waits here until it is in.
        const QString to = target.filePath(name);
        if ((QFileInfo::exists(to) && !QFile::remove(to)) ||
            !QFile::rename(source.filePath(name), to))
            return QStringLiteral("%1: cannot move the backup there from %2; the next backup "
                                  "or restore of %3 tries again")
                .arg(to, from, folder);
    }
    if (!QDir(from).removeRecursively())
        qCWarning(lcBackupFolder) << "cannot remove" << from;
    return {};
}

bool BackupFolder::moveFilesInto(const QString &folder, QString &error)
{
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return false;
    }
    // A backup a kill left half moved in is finished first: it is the later one.
    error = RecoverFiles(folder);
    if (!error.isEmpty())
        return false;
    for (const QString &name : fileNames()) {
        if (!QFileInfo::exists(QDir(staging_.path()).filePath(name))) {
            error = QStringLiteral("%1: %2 is missing from the backup").arg(staging_.path(), name);
            return false;
        }
    }
    if (!QDir().rename(staging_.path(), installing(folder))) {
        error = QStringLiteral("%1: cannot move the backup there from %2")
                    .arg(installing(folder), staging_.path());
        return false;
    }
    staging_.setAutoRemove(false);
    error = RecoverFiles(folder);
    return error.isEmpty();
}

QString BackupFolder::keep()
{
    staging_.setAutoRemove(false);
    return staging_.path();
}
