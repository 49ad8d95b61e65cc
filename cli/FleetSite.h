#pragma once

#include "LinkOptions.h"

#include <QList>
#include <QString>
#include <optional>

// One controller of a site file: a row "name,transport,address,port,id".
struct FleetController
{
    int row = 0; // 1 for the first row after the header
    QString name;
    QString transport; // "tcp", "udp" or "serial"
    QString address;   // host, or serial port (COM<n> or a device path)
    QString port;      // port number; for udp also DEST:LOCAL; for serial the line settings
    int deviceId = 1;
    // Why nothing may be sent to it (an address outside loopback while only loopback is
    // allowed); empty when it may be reached.
    QString refusal;
    // The link, ready to open; unused when refused.
    LinkOptions link;
    // Controllers with the same line (one RS-485 port, one TCP address and port, one local UDP
    // port) are worked one after the other; every other controller has a line of its own.
    QString lineKey;

    QString where() const;
};

// The site file: a CSV file with the header row name,transport,address,port,id and one
// controller a row. Names become folder names, so they must be safe and unique.
namespace FleetSite {

// The controllers in row order, or nothing with a message naming the row that is wrong.
std::optional<QList<FleetController>> Load(const QString &path, QString &error);
// Empty when the name can be a folder of its own; otherwise why not.
QString NameProblem(const QString &name);

} // namespace FleetSite
