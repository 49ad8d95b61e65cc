#include "SimCommandLine.h"

#include "BuildVersion.h"
#include "EventLogMix.h"
#include "WirePacer.h"

#include <QCommandLineParser>

namespace {

std::optional<quint16> PortOption(const QCommandLineParser &p, const QString &name, bool *ok)
{
    if (!p.isSet(name))
        return std::nullopt;
    bool valid = false;
    const uint port = p.value(name).toUInt(&valid);
    if (!valid || port > 65535)
        *ok = false;
    return static_cast<quint16>(port);
}

double ShareOption(const QCommandLineParser &p, const QString &name, double fallback, bool *ok)
{
    if (!p.isSet(name))
        return fallback;
    bool valid = false;
    const double share = p.value(name).toDouble(&valid);
    if (!valid || share < 0 || share > 1)
        *ok = false;
    return share;
}

int IntOption(const QCommandLineParser &p, const QString &name, int fallback, bool *ok)
{
    if (!p.isSet(name))
        return fallback;
    bool valid = false;
    const int value = p.value(name).toInt(&valid);
    if (!valid || value < 0)
        *ok = false;
    return value;
}

QList<int> DeviceIds(const QCommandLineParser &p, bool *ok)
{
    QList<int> ids;
    for (const QString &value : p.values(QStringLiteral("id"))) {
        for (const QString &part : value.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool valid = false;
            const int id = part.trimmed().toInt(&valid);
            if (!valid || id < 1 || id > 9999)
                *ok = false;
            ids << id;
        }
    }
    return ids.isEmpty() ? QList<int>{1} : ids;
}

// The serial number of the n-th controller: the given one, counted up when it is a number.
QByteArray SerialNumberFor(const QByteArray &base, int n)
{
    bool numeric = false;
    const qulonglong value = base.toULongLong(&numeric);
    if (n == 0 || !numeric)
        return base;
    return QByteArray::number(value + n).rightJustified(base.size(), '0');
}

} // namespace

std::optional<SimCommandLine> SimCommandLine::parse(const QStringList &arguments, QString *message,
                                                    int *exitCode)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated KT480NT controllers and MELOK9 desk reader on loopback endpoints."));
    // The help option alone: the --help-all that addHelpOption() adds is answered only by
    // process(), which would end the program itself.
    p.addOptions({
        {QStringList{"h", "help"}, "Displays help on commandline options."},
        {"version", "Show the program's version."},
        {"tcp", "TCP server on PORT (0: any free port).", "PORT"},
        {"udp", "UDP endpoint on PORT (0: any free port).", "PORT"},
        {"pty", "Serial line on a pseudo-terminal."},
        {"only-baud", "Serial line: answer only while the client runs it at N baud.", "N"},
        {"pace",
         "Serial line: every byte takes its wire time at the baud rate the client sets, in the "
         "character format FORMAT (8E1, 8N1, ...), which a pty cannot carry.",
         "FORMAT"},
        {"reader", "MELOK9 desk reader on a pseudo-terminal."},
        {"bind", "Address to bind (default 127.0.0.1).", "ADDR", "127.0.0.1"},
        {"id", "Device ID of a controller; repeat or separate by commas.", "N"},
        {"serial-number", "Serial number (default 12345678).", "TEXT", "12345678"},
        {"version-text", "Firmware version text (default KT480NT-V5.04).", "TEXT", "KT480NT-V5.04"},
        {"state", "JSON state file: loaded at start, saved on every change.", "FILE"},
        {"cards", "Fill card numbers 1..N.", "N"},
        {"events", "Seed N events of every kind, some unknown to the reader.", "N"},
        {"groups", "Records per device data group family (default 2).", "N"},
        {"sd-sectors", "SD card size in 512-byte sectors (0: no card).", "N"},
        {"sd-total", "What an SD backup or restore processes (default 200, at most 9999).", "N"},
        {"sd-rate", "How many of those an SD copy does per second (default 100).", "N"},
        {"reader-family", "Letter of the reader's commands: A, H or K (default A).", "L", "A"},
        {"control",
         "Read commands (card CODE) from the FIFO at PATH, made when missing, as "
         "from standard input: a person presents cards from another terminal.",
         "PATH"},
        {"drop", "Share of replies dropped.", "SHARE"},
        {"corrupt", "Share of replies with a wrong CRC.", "SHARE"},
        {"late-ms", "Delay of late replies.", "MS"},
        {"late-share", "Share of replies that are late (default 1).", "SHARE"},
        {"split", "Write each reply in N pieces.", "N"},
        {"noise", "Line noise before each reply."},
        {"duplicate-ms", "Send each reply again MS later.", "MS"},
        {"duplicate-share", "Share of replies sent again (default 1).", "SHARE"},
        {"wrong-length",
         "Share of replies one character short or long, or cut to the echo or the Device ID "
         "(CRC right).",
         "SHARE"},
        {"wrong-length-code", "Cut or stretch only replies to CODE; repeat for more.", "CODE"},
        {"paired", "Share of replies sent in one write with the previous reply.", "SHARE"},
        {"reply-data", "Answer CODE with its echo and DATA (CRC right).", "CODE:DATA"},
        {"error-code", "Answer CODE with the error letter.", "CODE:LETTER"},
        {"silent-code", "Never answer CODE.", "CODE"},
        {"seed", "Seed of the fault choices (default 1).", "N", "1"},
    });
    if (!p.parse(arguments)) {
        *message = p.errorText();
        *exitCode = 2;
        return std::nullopt;
    }
    if (p.isSet(QStringLiteral("help"))) {
        *message = p.helpText();
        *exitCode = 0;
        return std::nullopt;
    }
    if (p.isSet(QStringLiteral("version"))) {
        *message = QStringLiteral("kt480sim ") + BuildVersionText();
        *exitCode = 0;
        return std::nullopt;
    }

    bool ok = true;
    SimCommandLine line;
    SimulatorConfig &c = line.config;
    c.bindAddress = QHostAddress(p.value(QStringLiteral("bind")));
    if (c.bindAddress.isNull()) {
        *message = QStringLiteral("--bind: not an address");
        *exitCode = 2;
        return std::nullopt;
    }
    c.tcpPort = PortOption(p, QStringLiteral("tcp"), &ok);
    c.udpPort = PortOption(p, QStringLiteral("udp"), &ok);
    c.serial = p.isSet(QStringLiteral("pty"));
    c.reader = p.isSet(QStringLiteral("reader"));
    c.serialBaudRate = IntOption(p, QStringLiteral("only-baud"), 0, &ok);
    if (p.isSet(QStringLiteral("pace"))) {
        const auto bits = WirePacer::BitsPerByte(p.value(QStringLiteral("pace")));
        ok = ok && bits.has_value();
        c.serialBitsPerByte = bits.value_or(0);
    }
    line.stateFile = p.value(QStringLiteral("state"));
    line.controlPath = p.value(QStringLiteral("control"));

    const QByteArray serialNumber = p.value(QStringLiteral("serial-number")).toLatin1();
    const QByteArray versionText = p.value(QStringLiteral("version-text")).toLatin1();
    const int cards = IntOption(p, QStringLiteral("cards"), 0, &ok);
    const int events = IntOption(p, QStringLiteral("events"), 0, &ok);
    const int groups = IntOption(p, QStringLiteral("groups"), 2, &ok);
    const int sectors = IntOption(p, QStringLiteral("sd-sectors"), SdCardState().sectors, &ok);
    const int sdTotal = IntOption(p, QStringLiteral("sd-total"), SdCardState().total, &ok);
    const int sdRate = IntOption(p, QStringLiteral("sd-rate"), SdCardState().countsPerSecond, &ok);
    if (sdTotal > 9999 || sdRate < 1)
        ok = false;
    const QList<int> ids = DeviceIds(p, &ok);
    for (int i = 0; i < ids.size(); ++i) {
        ControllerData d = ControllerData::factory(ids[i], groups);
        d.serialNumber = SerialNumberFor(serialNumber, i);
        d.versionText = versionText;
        d.cards = GeneratedCards(cards);
        d.events = MixedEventLog(events);
        d.sd.sectors = sectors;
        d.sd.total = sdTotal;
        d.sd.countsPerSecond = sdRate;
        c.controllers << d;
    }

    const QString family = p.value(QStringLiteral("reader-family")).toUpper();
    if (family != QLatin1String("A") && family != QLatin1String("H") &&
        family != QLatin1String("K"))
        ok = false;
    c.readerFamily = family.isEmpty() ? 'A' : family.at(0).toLatin1();

    FaultSettings &f = c.faults;
    f.dropShare = ShareOption(p, QStringLiteral("drop"), 0, &ok);
    f.corruptShare = ShareOption(p, QStringLiteral("corrupt"), 0, &ok);
    f.lateMs = IntOption(p, QStringLiteral("late-ms"), 0, &ok);
    f.lateShare = ShareOption(p, QStringLiteral("late-share"), 1, &ok);
    f.splitPieces = std::max(1, IntOption(p, QStringLiteral("split"), 1, &ok));
    f.noise = p.isSet(QStringLiteral("noise"));
    f.duplicateDelayMs = IntOption(p, QStringLiteral("duplicate-ms"), 0, &ok);
    f.duplicateShare = ShareOption(p, QStringLiteral("duplicate-share"), 1, &ok);
    f.wrongLengthShare = ShareOption(p, QStringLiteral("wrong-length"), 0, &ok);
    for (const QString &code : p.values(QStringLiteral("wrong-length-code")))
        f.wrongLengthCodes.insert(code.toLatin1());
    f.pairedShare = ShareOption(p, QStringLiteral("paired"), 0, &ok);
    for (const QString &data : p.values(QStringLiteral("reply-data")))
        ok = f.addReplacedData(data) && ok;
    for (const QString &code : p.values(QStringLiteral("error-code")))
        ok = f.addErrorCode(code) && ok;
    for (const QString &code : p.values(QStringLiteral("silent-code")))
        f.silentCodes.insert(code.toLatin1());
    c.seed = static_cast<quint32>(IntOption(p, QStringLiteral("seed"), 1, &ok));

    if (!ok) {
        *message = QStringLiteral("invalid option value (see --help)");
        *exitCode = 2;
        return std::nullopt;
    }
    if (!c.tcpPort && !c.udpPort && !c.serial && !c.reader) {
        *message = QStringLiteral("no endpoint: give --tcp, --udp, --pty or --reader");
        *exitCode = 2;
        return std::nullopt;
    }
    return line;
}
