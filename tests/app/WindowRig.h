#pragma once

#include "AppContext.h"
#include "TfrmKT480NT5.h"

#include <QMap>
#include <QTemporaryDir>
#include <QVariant>
#include <SimulatorHost.h>
#include <memory>

// One main window against one in-process simulator, with a settings file of its own in a
// temporary folder. The window's clock stands still at `now` unless a test moves it.
class WindowRig
{
public:
    explicit WindowRig(const QList<ControllerData> &controllers = {ControllerData::factory(1)},
                       bool serial = false);

    SimulatorHost &sim() { return *sim_; }
    QString settingsPath() const { return dir_.filePath(QStringLiteral("settings.ini")); }
    void writeSettings(const QMap<QString, QVariant> &values) const;
    QVariant storedSetting(const QString &name) const;

    // Builds and shows the window; the first clock tick (restore, automatic connect) follows.
    TfrmKT480NT5 &open(StartOptions options = {});
    TfrmKT480NT5 &window() { return *window_; }
    Comm &comm() { return context_->comm; }

    // Fills the tab's boxes and connects; true when the controller was identified.
    bool connectTcp(const QString &deviceId = QStringLiteral("0001"));
    bool connectUdp(const QString &deviceId = QStringLiteral("0001"));
    bool connectSerial(int comNumber, const QString &deviceId = QStringLiteral("0001"));
    // Waits until the start-up tick has run and no connection attempt is left.
    bool settle();

    QDateTime now{QDate(2008, 9, 22), QTime(14, 5, 0)};
    // Every reading of the window's clock moves `now` on by this much.
    int clockStepMs = 0;

private:
    QTemporaryDir dir_;
    std::unique_ptr<SimulatorHost> sim_;
    std::unique_ptr<AppContext> context_;
    std::unique_ptr<TfrmKT480NT5> window_;
};
