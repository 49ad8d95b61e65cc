#pragma once

#include <QString>
#include <optional>

class Settings;

// The tab a connection runs on; also the stored "MainActivePage" value.
enum class ConnectionTab
{
    Serial = 1,
    Tcp = 2,
    Udp = 3
};

// The connection values kept between runs, with the defaults a first start uses.
struct ConnectionSettings
{
    static inline const QString DefaultBaudRate = QStringLiteral("19200,e,8,1");
    static inline const QString DefaultHost = QStringLiteral("192.168.1.101");
    static constexpr int DefaultPort = 5001;
    // A port box takes five digits; anything above this is no port at all.
    static constexpr int HighestPort = 65535;

    int portNumber = 0;
    QString baudRate = DefaultBaudRate;
    int tcpPort = 0;
    QString tcpHost = DefaultHost;
    int udpDestinationPort = 0;
    int udpLocalPort = DefaultPort;
    QString udpHost = DefaultHost;
    // Present only when stored; already normalised to four digits.
    std::optional<QString> deviceId;
    // Present only when stored; kept as stored, even outside 0 to 2.
    std::optional<int> languageIndex;
    ConnectionTab startTab = ConnectionTab::Serial;

    // Every value that is present in the store replaces its default.
    static ConnectionSettings Load(const Settings &settings);
};

// The tab named by a "MainActivePage" text; anything but "2" or "3" is the serial tab.
ConnectionTab ConnectionTabFromText(const QString &text);

// Stores the working connection of the tab that succeeded and zeroes the others, so that the
// next start reconnects only over the one that worked.
void SaveConnectionSettings(Settings &settings, ConnectionTab tab,
                            const ConnectionSettings &connection, const QString &deviceIdText);

// A port box's number; 5001 when the text is not a number.
int PortFromText(const QString &text);
