#include "ParamFilePaths.h"

#include "RememberedPath.h"

#include <QCoreApplication>
#include <QDir>

namespace ParamFilePaths {

QString DefaultFile()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(DefaultFileName);
}

QString InitialExportPath(const Settings &settings)
{
    return RememberedPath(settings, ExportSetting, DefaultFile());
}

QString InitialImportPath(const Settings &settings)
{
    return RememberedPath(settings, ImportSetting, DefaultFile());
}

} // namespace ParamFilePaths
