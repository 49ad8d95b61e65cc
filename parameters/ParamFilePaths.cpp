#include "ParamFilePaths.h"

#include "Settings.h"

#include <QCoreApplication>
#include <QDir>

namespace ParamFilePaths {

namespace {

QString Remembered(const Settings &settings, const QString &name)
{
    const QString stored = settings.LoadSetting(name).trimmed();
    return stored.isEmpty() ? DefaultFile() : stored;
}

} // namespace

QString DefaultFile()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(DefaultFileName);
}

QString InitialExportPath(const Settings &settings)
{
    return Remembered(settings, ExportSetting);
}

QString InitialImportPath(const Settings &settings)
{
    return Remembered(settings, ImportSetting);
}

} // namespace ParamFilePaths
