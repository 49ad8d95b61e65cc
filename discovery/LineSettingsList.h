#pragma once

#include <QStringList>

// The sixteen serial line settings a controller may use, in list order ("4800,n,8,1" first).
QStringList LineSettingsList();

// The program's default line setting, "19200,e,8,1".
QString DefaultLineSettings();

// The settings in the order a search tries them: from the end of the list to its start.
QStringList LineSettingsSearchOrder();
