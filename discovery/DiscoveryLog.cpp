#include "DiscoveryLog.h"

Q_LOGGING_CATEGORY(lcDiscovery, "kt480.discovery", QtInfoMsg)
