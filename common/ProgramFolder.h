#pragma once

#include <QString>

// A file of this name in the folder that holds the program (where the default parameter,
// card and record files lie).
QString InProgramFolder(const QString &fileName);
