#include "Settings.h"

#include <QTemporaryDir>

namespace {

std::unique_ptr<QSettings> openStore(const QString &filePath)
{
    QString path = filePath;
    if (path.isEmpty())
        path = qEnvironmentVariable("KT480_SETTINGS");
    if (!path.isEmpty())
        return std::make_unique<QSettings>(path, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("ORVEX"),
                                       QStringLiteral("KT480NTV5"));
}

} // namespace

Settings::Settings(const QString &filePath) : store_(openStore(filePath)) {}

Settings::~Settings() = default;

std::unique_ptr<Settings> Settings::Transient()
{
    auto folder = std::make_unique<QTemporaryDir>();
    auto settings = std::make_unique<Settings>(folder->filePath(QStringLiteral("settings.ini")));
    settings->transientFolder_ = std::move(folder);
    return settings;
}

QString Settings::filePath() const
{
    return store_->fileName();
}

void Settings::SaveSetting(const QString &name, const QString &text)
{
    store_->setValue(name, text);
}

QString Settings::LoadSetting(const QString &name) const
{
    return store_->value(name).toString();
}

void Settings::saveInt(const QString &name, int value)
{
    store_->setValue(name, value);
}

bool Settings::contains(const QString &name) const
{
    return store_->contains(name);
}

int Settings::loadInt(const QString &name, int fallback) const
{
    bool ok = false;
    const int value = store_->value(name).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

void Settings::sync()
{
    store_->sync();
}
