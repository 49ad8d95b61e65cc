#include "ParamsLog.h"

Q_LOGGING_CATEGORY(lcParams, "kt480.params")
