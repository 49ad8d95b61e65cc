#include "RememberedPath.h"

#include "Settings.h"

QString RememberedPath(const Settings &settings, const QString &name, const QString &fallback)
{
    const QString stored = settings.LoadSetting(name).trimmed();
    return stored.isEmpty() ? fallback : stored;
}
