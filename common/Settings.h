#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>

class QTemporaryDir;

// The program's persistent settings: organisation "ORVEX", application "KT480NTV5", user
// scope, or a file of its own (chosen with --settings or KT480_SETTINGS) so that tests and
// the demo never touch a user's settings. Every error is swallowed: missing values read as
// empty and defaults stay in force.
class Settings
{
public:
    // An empty path selects the user's settings, unless KT480_SETTINGS names a file.
    explicit Settings(const QString &filePath = QString());
    ~Settings();

    // Settings that live only as long as this object, for runs that must not remember
    // anything (the command-line client).
    static std::unique_ptr<Settings> Transient();

    QString filePath() const;

    void SaveSetting(const QString &name, const QString &text);
    QString LoadSetting(const QString &name) const;

    void saveInt(const QString &name, int value);
    bool contains(const QString &name) const;
    // The stored value as an integer; fallback when missing or not a number.
    int loadInt(const QString &name, int fallback) const;

    void sync();

private:
    std::unique_ptr<QTemporaryDir> transientFolder_;
    std::unique_ptr<QSettings> store_;
};
