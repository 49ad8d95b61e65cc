#include "ParamFilePaths.h"

#include "ProgramFolder.h"
#include "RememberedPath.h"

namespace ParamFilePaths {

QString DefaultFile()
{
    return InProgramFolder(DefaultFileName);
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
