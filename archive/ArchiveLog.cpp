#include "ArchiveLog.h"

Q_LOGGING_CATEGORY(lcArchive, "kt480.archive")
