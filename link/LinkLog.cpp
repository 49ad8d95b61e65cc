#include "LinkLog.h"

Q_LOGGING_CATEGORY(lcLink, "kt480.link")
