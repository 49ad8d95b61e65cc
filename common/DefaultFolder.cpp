#include "DefaultFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>

namespace {

// Whether a file can really be created there (permissions, read-only mounts, ACLs).
bool canWriteIn(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".kt480-write-test-XXXXXX")));
    return probe.open();
}

QString canonical(const QString &folder)
{
    const QString path = QFileInfo(folder).canonicalFilePath();
    return path.isEmpty() ? QDir::cleanPath(folder) : path;
}

} // namespace

QString DefaultFileFolder(const QString &programFolder, const QStringList &installedFolders)
{
    const QString program = canonical(programFolder);
    const bool installed =
        std::any_of(installedFolders.cbegin(), installedFolders.cend(),
                    [&program](const QString &folder) { return canonical(folder) == program; });
    if (!installed && canWriteIn(programFolder))
        return programFolder;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    // A fresh account may have no documents folder yet; the file dialogs open in it.
    QDir().mkpath(documents);
    return documents;
}

QString DefaultFileFolder()
{
    // Where make install puts the programs, and where the package does.
    return DefaultFileFolder(QCoreApplication::applicationDirPath(),
                             {QStringLiteral(KT480_INSTALLED_BINDIR), QStringLiteral("/usr/bin")});
}

QString DefaultFilePath(const QString &fileName)
{
    return QDir(DefaultFileFolder()).filePath(fileName);
}
