#pragma once

#include <QLoggingCategory>

// Messages of the interface language ("kt480.lang"): translation catalogues that cannot be
// loaded.
Q_DECLARE_LOGGING_CATEGORY(lcLang)
