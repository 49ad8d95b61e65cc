#pragma once

#include "TableResult.h"

#include <QByteArray>
#include <QString>

// The largest table file that is read. A card file of a million cards, far more than a
// controller holds, takes about 100 MB and loads in a few seconds with about 1 GB of memory;
// a larger file (a stray 1 GB file, say) is refused before any of it is read.
inline constexpr qint64 MaxTableFileBytes = 128LL * 1024 * 1024;

// Reads a whole table file: a regular file of at most MaxTableFileBytes. A device, a pipe or
// a folder is refused before it is opened, so that nothing blocks or reads without end.
TableResult ReadTableFile(const QString &path, QByteArray &bytes);
