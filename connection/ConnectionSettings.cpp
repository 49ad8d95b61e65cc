#include "ConnectionSettings.h"

#include "DeviceId.h"

#include <Settings.h>

ConnectionTab ConnectionTabFromText(const QString &text)
{
    bool ok = false;
    const int page = text.trimmed().toInt(&ok);
    if (ok && page == 3)
        return ConnectionTab::Udp;
    if (ok && page == 2)
        return ConnectionTab::Tcp;
    return ConnectionTab::Serial;
}

int PortFromText(const QString &text)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok ? port : ConnectionSettings::DefaultPort;
}

ConnectionSettings ConnectionSettings::Load(const Settings &settings)
{
    ConnectionSettings loaded;
    loaded.startTab = ConnectionTabFromText(settings.LoadSetting(QStringLiteral("MainActivePage")));
    if (settings.contains(QStringLiteral("LanguageIndex")))
        loaded.languageIndex = settings.loadInt(QStringLiteral("LanguageIndex"), 0);
    if (settings.contains(QStringLiteral("DeviceID")))
        loaded.deviceId = NormaliseDeviceId(settings.LoadSetting(QStringLiteral("DeviceID")));
    loaded.portNumber = settings.loadInt(QStringLiteral("CommNo"), loaded.portNumber);
    if (settings.contains(QStringLiteral("BaudRate")))
        loaded.baudRate = settings.LoadSetting(QStringLiteral("BaudRate"));
    loaded.tcpPort = settings.loadInt(QStringLiteral("NetNo"), loaded.tcpPort);
    if (settings.contains(QStringLiteral("NetIP")))
        loaded.tcpHost = settings.LoadSetting(QStringLiteral("NetIP"));
    loaded.udpDestinationPort =
        settings.loadInt(QStringLiteral("UdpNo1"), loaded.udpDestinationPort);
    loaded.udpLocalPort = settings.loadInt(QStringLiteral("UdpNo2"), loaded.udpLocalPort);
    if (settings.contains(QStringLiteral("UdpIP")))
        loaded.udpHost = settings.LoadSetting(QStringLiteral("UdpIP"));
    return loaded;
}

void SaveConnectionSettings(Settings &settings, ConnectionTab tab,
                            const ConnectionSettings &connection, const QString &deviceIdText)
{
    switch (tab) {
    case ConnectionTab::Udp:
        settings.saveInt(QStringLiteral("CommNo"), 0);
        settings.saveInt(QStringLiteral("NetNo"), 0);
        settings.saveInt(QStringLiteral("UdpNo1"), connection.udpDestinationPort);
        settings.saveInt(QStringLiteral("UdpNo2"), connection.udpLocalPort);
        settings.SaveSetting(QStringLiteral("UdpIP"), connection.udpHost);
        break;
    case ConnectionTab::Tcp:
        settings.saveInt(QStringLiteral("CommNo"), 0);
        settings.saveInt(QStringLiteral("NetNo"), connection.tcpPort);
        settings.saveInt(QStringLiteral("UdpNo1"), 0);
        settings.saveInt(QStringLiteral("UdpNo2"), ConnectionSettings::DefaultPort);
        settings.SaveSetting(QStringLiteral("NetIP"), connection.tcpHost);
        break;
    case ConnectionTab::Serial:
        settings.saveInt(QStringLiteral("CommNo"), connection.portNumber);
        settings.saveInt(QStringLiteral("NetNo"), 0);
        settings.saveInt(QStringLiteral("UdpNo1"), 0);
        settings.saveInt(QStringLiteral("UdpNo2"), ConnectionSettings::DefaultPort);
        settings.SaveSetting(QStringLiteral("BaudRate"), connection.baudRate);
        break;
    }
    settings.SaveSetting(QStringLiteral("DeviceID"), deviceIdText);
    settings.sync();
}
