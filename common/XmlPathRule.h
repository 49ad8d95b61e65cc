#pragma once

#include <QString>

// A chosen file name gets ".xml" appended unless its upper-cased form already holds "XML"
// somewhere (a folder called xmldata counts too).
QString WithXmlExtension(const QString &path);
