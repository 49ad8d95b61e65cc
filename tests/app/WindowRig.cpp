#include "WindowRig.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTest>

WindowRig::WindowRig(const QList<ControllerData> &controllers, bool serial)
{
    SimulatorConfig config;
    config.tcpPort = 0;
    config.udpPort = 0;
    config.serial = serial;
    config.controllers = controllers;
    sim_ = std::make_unique<SimulatorHost>(config);
}

void WindowRig::writeSettings(const QMap<QString, QVariant> &values) const
{
    QSettings store(settingsPath(), QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        store.setValue(it.key(), it.value());
    store.sync();
}

QVariant WindowRig::storedSetting(const QString &name) const
{
    const QSettings store(settingsPath(), QSettings::IniFormat);
    return store.value(name);
}

TfrmKT480NT5 &WindowRig::open(StartOptions options)
{
    options.clock = [this] {
        const QDateTime reading = now;
        now = now.addMSecs(clockStepMs);
        return reading;
    };
    window_.reset();
    context_ = std::make_unique<AppContext>(settingsPath());
    window_ = std::make_unique<TfrmKT480NT5>(*context_, options);
    window_->show();
    return *window_;
}

bool WindowRig::settle()
{
    return QTest::qWaitFor([this] { return window_->initialised() && !window_->connecting(); },
                           20000);
}

bool WindowRig::connectTcp(const QString &deviceId)
{
    if (!settle())
        return false;
    window_->pcMain->setCurrentIndex(1);
    window_->edtIP->setText(QStringLiteral("127.0.0.1"));
    window_->edtPort->setText(QString::number(sim_->tcpPort()));
    window_->edID02->setText(deviceId);
    QTest::mouseClick(window_->btnConnect02, Qt::LeftButton);
    return settle() && comm().DeviceConnected();
}

bool WindowRig::connectUdp(const QString &deviceId)
{
    if (!settle())
        return false;
    window_->pcMain->setCurrentIndex(2);
    window_->edtIPudp->setText(QStringLiteral("127.0.0.1"));
    window_->edtUPort01->setText(QString::number(sim_->udpPort()));
    window_->edtUPort02->setText(QStringLiteral("0"));
    window_->edID02->setText(deviceId);
    window_->btnConnect03Click();
    return settle() && comm().DeviceConnected();
}

bool WindowRig::connectSerial(int comNumber, const QString &deviceId)
{
    if (!settle())
        return false;
    window_->pcMain->setCurrentIndex(0);
    window_->cbxCommNo->setEditText(QStringLiteral("COM%1").arg(comNumber));
    window_->edID01->setText(deviceId);
    QTest::mouseClick(window_->btnConnect01, Qt::LeftButton);
    return settle() && comm().DeviceConnected();
}
