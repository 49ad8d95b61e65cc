#include "FleetSite.h"

#include "ComPortMap.h"
#include "DeviceIdText.h"
#include "LoopbackOnly.h"
#include "NumberOption.h"
#include "RecordJournal.h"
#include "TableCsv.h"
#include "TableFileLimit.h"
#include "TableStore.h"
#include "TextDecoding.h"
#include "VerbTable.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSet>

namespace {

const QStringList Header{QStringLiteral("name"), QStringLiteral("transport"),
                         QStringLiteral("address"), QStringLiteral("port"), QStringLiteral("id")};
constexpr int MaxNameLength = 100;
const QString ReservedCharacters = QStringLiteral("/\\:*?\"<>|");
const QString LoopbackStandIn = QStringLiteral("127.0.0.1");

QString serialLineKey(const QString &port)
{
    const QFileInfo file(port);
    if (file.exists())
        return QStringLiteral("serial:") + file.canonicalFilePath();
    const int number = ComPortNumber(port);
    const QString path = number > 0 ? ComPortMap::fromEnvironment().devicePath(number) : QString();
    return QStringLiteral("serial:") + (path.isEmpty() ? port : path);
}

// The link options a row stands for, as kt480ctl's own options, so that a row is checked
// exactly as a command line would be.
QStringList linkArguments(const FleetController &c, const QString &host)
{
    QStringList arguments{QStringLiteral("kt480ctl")};
    if (c.transport == QLatin1String("serial")) {
        arguments << QStringLiteral("--serial") << c.address;
        if (!c.port.isEmpty())
            arguments << QStringLiteral("--line") << c.port;
    } else {
        const QString destination = c.port.section(QLatin1Char(':'), 0, 0);
        arguments << QLatin1String("--") + c.transport
                  << host + QLatin1Char(':') +
                         (destination.isEmpty() ? QStringLiteral("5001") : destination);
        if (c.transport == QLatin1String("udp") && c.port.contains(QLatin1Char(':')))
            arguments << QStringLiteral("--local-port") << c.port.section(QLatin1Char(':'), 1);
    }
    arguments << QStringLiteral("--id") << QString::number(c.deviceId);
    return arguments;
}

QString lineKeyOf(const FleetController &c)
{
    if (c.transport == QLatin1String("serial"))
        return serialLineKey(c.address);
    // Several Device IDs at one address are one RS-485 bus behind a network gateway.
    if (c.transport == QLatin1String("tcp"))
        return QStringLiteral("tcp:%1:%2")
            .arg(c.address.toLower())
            .arg(c.port.isEmpty() ? 5001 : c.port.toInt());
    if (c.transport == QLatin1String("udp")) {
        const QString local =
            c.port.contains(QLatin1Char(':')) ? c.port.section(QLatin1Char(':'), 1) : "5001";
        // Port 0 is any free port: such a controller has a local port of its own.
        if (local.toInt() != 0)
            return QStringLiteral("udp-local:") + QString::number(local.toInt());
    }
    return QStringLiteral("row:") + QString::number(c.row);
}

QString rowProblem(FleetController &c)
{
    if (const QString problem = FleetSite::NameProblem(c.name); !problem.isEmpty())
        return problem;
    if (c.transport != QLatin1String("tcp") && c.transport != QLatin1String("udp") &&
        c.transport != QLatin1String("serial"))
        return QStringLiteral("transport \"%1\" is not tcp, udp or serial").arg(c.transport);
    if (c.address.isEmpty())
        return QStringLiteral("no address");
    if (c.transport == QLatin1String("udp") && c.port.count(QLatin1Char(':')) > 1)
        return QStringLiteral("udp port \"%1\" is not PORT or PORT:LOCALPORT").arg(c.port);
    if (c.transport != QLatin1String("serial") && c.port.contains(QLatin1Char(':')) &&
        c.transport != QLatin1String("udp"))
        return QStringLiteral("tcp port \"%1\" is not a port number").arg(c.port);
    if (c.transport != QLatin1String("serial") && !HostAllowed(c.address))
        c.refusal = HostRefusedText(c.address);
    // A refused address is checked with a loopback stand-in: the rest of the row must be right.
    QCommandLineParser parser;
    for (const CliOption &option : VerbTable::ConnectionOptions())
        parser.addOption(option.parserOption(true));
    if (!parser.parse(linkArguments(c, c.refusal.isEmpty() ? c.address : LoopbackStandIn)))
        return parser.errorText();
    if (!c.link.read(parser))
        return c.link.error();
    c.lineKey = lineKeyOf(c);
    return {};
}

// The cells of the text's first line, lower case, without quotes. Looked at before the file is
// read as a table, which would take a controller row for field names and name its address as
// a bad one.
QStringList firstRow(const QString &text)
{
    QStringList cells;
    for (const QString &cell : text.section(QLatin1Char('\n'), 0, 0).split(QLatin1Char(',')))
        cells << cell.trimmed().remove(QLatin1Char('"')).toLower();
    return cells;
}

// The file's text, read with the checks of the table files (a link to a device or a huge file
// is refused before it is read); nothing, with the reason in error, when it is not UTF-8 text.
std::optional<QString> siteText(const QString &path, QString &error)
{
    QByteArray bytes;
    if (const TableResult read = ReadTableFile(path, bytes); !read) {
        error = read.error();
        return std::nullopt;
    }
    const DecodedText decoded = DecodeUtf8Text(bytes);
    if (!decoded.error.isEmpty()) {
        error = QStringLiteral("%1: %2").arg(path, decoded.error);
        return std::nullopt;
    }
    if (decoded.text.contains(QChar(0))) {
        error = QStringLiteral("%1: the file holds NUL bytes (UTF-16 text without a byte-order "
                               "mark?); save it as UTF-8")
                    .arg(path);
        return std::nullopt;
    }
    return decoded.text;
}

QString headerProblem(const QString &path, const QStringList &names)
{
    return QStringLiteral("%1: the first row must be %2, not %3")
        .arg(path, Header.join(QLatin1Char(',')), names.join(QLatin1Char(',')));
}

} // namespace

QString FleetController::where() const
{
    return QStringLiteral("%1 %2%3 ID %4")
        .arg(transport, address, port.isEmpty() ? QString() : QLatin1Char(' ') + port)
        .arg(DeviceIdText(deviceId));
}

namespace FleetSite {

QString NameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("the name is empty");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" cannot be a folder name").arg(name);
    if (name.size() > MaxNameLength)
        return QStringLiteral("the name is longer than %1 characters").arg(MaxNameLength);
    if (name.trimmed() != name)
        return QStringLiteral("the name \"%1\" starts or ends with a space").arg(name);
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || ReservedCharacters.contains(c))
            return QStringLiteral("the name \"%1\" holds a character a folder name cannot have "
                                  "(/ \\ : * ? \" < > | or a control character)")
                .arg(name);
    }
    // A controller folder beside the event journals must never take a journal's place.
    if (RecordJournal::IsJournalFileName(name))
        return QStringLiteral("the name \"%1\" is the name of an event journal").arg(name);
    return {};
}

std::optional<QList<FleetController>> Load(const QString &path, QString &error)
{
    const std::optional<QString> text = siteText(path, error);
    if (!text)
        return std::nullopt;
    if (const QStringList first = firstRow(*text);
        !first.join(QString()).isEmpty() && first != Header) {
        error = headerProblem(path, first);
        return std::nullopt;
    }
    TableStore table;
    const TableResult read = ReadCsvFile(path, table);
    if (!read) {
        error = read.error();
        return std::nullopt;
    }
    QStringList names;
    for (const TableField &field : table.Fields())
        names << field.name.trimmed().toLower();
    if (names != Header) {
        error = headerProblem(path, names);
        return std::nullopt;
    }
    QList<FleetController> controllers;
    QSet<QString> seen;
    for (int row = 0; row < table.RecordCount(); ++row) {
        FleetController c;
        c.row = row + 1;
        c.name = table.Value(row, 0);
        c.transport = table.Value(row, 1).trimmed().toLower();
        c.address = table.Value(row, 2).trimmed();
        c.port = table.Value(row, 3).trimmed();
        const QString id = table.Value(row, 4).trimmed();
        const auto number = id.isEmpty() ? std::optional<int>(1) : BoundedNumber(id, 0, 9999);
        QString problem;
        if (!number)
            problem = QStringLiteral("id \"%1\" is not a Device ID from 1 to 9999").arg(id);
        // Every controller of a bus answers 0: a row must name one controller.
        else if (*number == 0)
            problem = QStringLiteral("id 0 is the broadcast address, which every controller "
                                     "answers; give the controller's own Device ID (1 to 9999)");
        else
            c.deviceId = *number;
        if (problem.isEmpty())
            problem = rowProblem(c);
        // Folders differ by more than case, also where the file system ignores it.
        if (problem.isEmpty() && seen.contains(c.name.toLower()))
            problem = QStringLiteral("the name \"%1\" is used by an earlier row").arg(c.name);
        if (!problem.isEmpty()) {
            error = QStringLiteral("%1 row %2: %3").arg(path).arg(c.row).arg(problem);
            return std::nullopt;
        }
        seen.insert(c.name.toLower());
        controllers << c;
    }
    if (controllers.isEmpty()) {
        error = QStringLiteral("%1: no controller rows").arg(path);
        return std::nullopt;
    }
    return controllers;
}

} // namespace FleetSite
