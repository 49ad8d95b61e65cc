#pragma once

#include <QString>
#include <QStringList>

// Where the default parameter, card and record files lie: the program's folder, as the
// program has always kept them, when the user can write there (a run from a build tree or a
// folder of one's own); otherwise, and always for the folder the program is installed to,
// the user's documents folder, since an installed program's folder is not the user's.
QString DefaultFileFolder();
// The rule itself, for any program folder and the folders programs are installed to.
QString DefaultFileFolder(const QString &programFolder, const QStringList &installedFolders);
// A default file by name in that folder.
QString DefaultFilePath(const QString &fileName);
