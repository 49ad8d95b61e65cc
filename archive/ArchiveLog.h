#pragma once

#include <QLoggingCategory>

// Messages of the event archive ("kt480.archive"): database errors and what was stored.
Q_DECLARE_LOGGING_CATEGORY(lcArchive)
