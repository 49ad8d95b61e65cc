#pragma once

#include <QString>
#include <QTemporaryDir>
#include <memory>

class SimulatorHost;

// The --demo run: a simulated controller on loopback TCP and a settings file of its own that
// points at it, so the demo never reads or changes the user's settings.
class DemoSession
{
public:
    // Settings of `baseSettingsFile` (the language, for instance) are copied when given.
    explicit DemoSession(const QString &baseSettingsFile);
    ~DemoSession();

    bool isRunning() const;
    QString errorString() const { return error_; }
    QString settingsFilePath() const { return settingsFilePath_; }

private:
    QTemporaryDir folder_;
    std::unique_ptr<SimulatorHost> simulator_;
    QString settingsFilePath_;
    QString error_;
};
