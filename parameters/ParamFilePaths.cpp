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

QString WithXmlExtension(const QString &path)
{
    if (path.toUpper().contains(QLatin1String("XML")))
        return path;
    return path + QLatin1String(".xml");
}

} // namespace ParamFilePaths
