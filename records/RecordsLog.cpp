#include "RecordsLog.h"

Q_LOGGING_CATEGORY(lcRecords, "kt480.records")
