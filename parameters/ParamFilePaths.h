#pragma once

#include "XmlPathRule.h"

#include <QString>

class Settings;

// Where parameter files go: the default file beside the program, the remembered export
// and import paths, and the ".xml" rule.
namespace ParamFilePaths {

inline const QString DefaultFileName = QStringLiteral("KT480NT-V5_Parameter.xml");
inline const QString ExportSetting = QStringLiteral("KT480SFileName");
inline const QString ImportSetting = QStringLiteral("KT480RFileName");
inline const QString DialogFilter = QStringLiteral("xml files(*.xml)");

// The default file in the program's folder, or the documents folder when that is not writable.
QString DefaultFile();

// The remembered path when one is stored, otherwise the default file.
QString InitialExportPath(const Settings &settings);
QString InitialImportPath(const Settings &settings);

} // namespace ParamFilePaths
