#pragma once

#include <QLoggingCategory>

// Messages of the device link ("kt480.link"): caught transport errors, refused addresses.
Q_DECLARE_LOGGING_CATEGORY(lcLink)
