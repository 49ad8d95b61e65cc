#pragma once

#include <QLoggingCategory>

// Messages of the event-record module ("kt480.records"): journal and file errors.
Q_DECLARE_LOGGING_CATEGORY(lcRecords)
