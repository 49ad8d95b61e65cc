#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>

QString InProgramFolder(const QString &fileName)
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(fileName);
}
