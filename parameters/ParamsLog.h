#pragma once

#include <QLoggingCategory>

// Messages of the parameter transfers ("kt480.params"): errors caught on the way.
Q_DECLARE_LOGGING_CATEGORY(lcParams)
