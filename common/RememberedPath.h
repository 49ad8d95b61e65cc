#pragma once

#include <QString>

class Settings;

// The path stored under a settings name, trimmed, or the fallback when none is stored.
QString RememberedPath(const Settings &settings, const QString &name, const QString &fallback);
