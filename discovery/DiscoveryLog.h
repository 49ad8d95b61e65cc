#pragma once

#include <QLoggingCategory>

// Messages of the searches ("kt480.discovery"): ports that could not be opened, refused
// address ranges, sockets that failed in an unexpected way.
Q_DECLARE_LOGGING_CATEGORY(lcDiscovery)
