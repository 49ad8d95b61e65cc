#include "DemoSession.h"

#include <CardRange.h>
#include <EventLogMix.h>
#include <QFile>
#include <Settings.h>
#include <SimulatorHost.h>

namespace {
constexpr int DemoCards = 40;
constexpr int DemoCardRange = 60;
} // namespace

DemoSession::DemoSession(const QString &baseSettingsFile)
{
    if (!folder_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    SimulatorConfig config;
    config.bindAddress = QHostAddress(QHostAddress::LocalHost);
    config.tcpPort = 0;
    // Cards to read in the card window and an event log to read in the record window, so
    // that a first look at either shows data.
    ControllerData controller = ControllerData::factory();
    controller.cards = GeneratedCards(DemoCards);
    controller.events = MixedEventLog(250);
    config.controllers = {controller};
    simulator_ = std::make_unique<SimulatorHost>(config);
    if (!simulator_->isRunning()) {
        error_ = simulator_->errorString();
        return;
    }
    settingsFilePath_ = folder_.filePath(QStringLiteral("demo-settings.ini"));
    if (!baseSettingsFile.isEmpty())
        QFile::copy(baseSettingsFile, settingsFilePath_);
    QFile::setPermissions(settingsFilePath_, QFile::ReadOwner | QFile::WriteOwner);
    Settings settings(settingsFilePath_);
    settings.SaveSetting(QStringLiteral("NetIP"), QStringLiteral("127.0.0.1"));
    settings.saveInt(QStringLiteral("NetNo"), simulator_->tcpPort());
    settings.SaveSetting(QStringLiteral("MainActivePage"), QStringLiteral("2"));
    settings.saveInt(QStringLiteral("CommNo"), 0);
    settings.saveInt(QStringLiteral("UdpNo1"), 0);
    // The card window reads the demo's cards and a few numbers past them, not 10 500.
    CardRange(1, DemoCardRange).store(settings);
    settings.sync();
}

DemoSession::~DemoSession() = default;

bool DemoSession::isRunning() const
{
    return simulator_ && simulator_->isRunning() && !settingsFilePath_.isEmpty();
}
