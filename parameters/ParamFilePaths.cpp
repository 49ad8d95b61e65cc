#include "ParamFilePaths.h"

#include "DefaultFolder.h"
#include "RememberedPath.h"

namespace ParamFilePaths {

QString DefaultFile()
{
    return DefaultFilePath(DefaultFileName);
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
