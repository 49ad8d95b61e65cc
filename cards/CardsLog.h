#pragma once

#include <QLoggingCategory>

// Caught errors of the card modules.
Q_DECLARE_LOGGING_CATEGORY(lcCards)
