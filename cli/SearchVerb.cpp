#include "SearchVerb.h"

#include "CliContext.h"
#include "ControllerSession.h"
#include "DeviceIdText.h"
#include "LineSettingsList.h"
#include "LinkOptions.h"
#include "MachineSerialPorts.h"
#include "NetworkSearch.h"
#include "SearchHits.h"
#include "SerialPortOrder.h"
#include "SerialSearch.h"
#include "SerialSettings.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QRegularExpression>
#include <optional>

namespace {

struct Range
{
    int first = 1;
    int last = 1;
};

// "A-B" or "A", both within [low, high] and ascending.
std::optional<Range> ParseRange(const QString &text, int low, int high)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d+)\\s*(?:-\\s*(\\d+))?\\s*$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    Range range;
    range.first = m.captured(1).toInt();
    range.last = m.captured(2).isEmpty() ? range.first : m.captured(2).toInt();
    if (range.first < low || range.last > high || range.first > range.last)
        return std::nullopt;
    return range;
}

class SearchProgressLine
{
public:
    explicit SearchProgressLine(CliContext &context)
        : context_(context), shown_(!context.json && ControllerSession::stderrIsTerminal())
    {
    }
    ~SearchProgressLine()
    {
        if (used_)
            context_.err << '\n' << Qt::flush;
    }
    void show(const QString &text)
    {
        if (!shown_)
            return;
        used_ = true;
        context_.err << '\r' << text.leftJustified(60) << Qt::flush;
    }

private:
    CliContext &context_;
    const bool shown_;
    bool used_ = false;
};

// A controller that answered outside the Device IDs searched is named, but is no success.
int Report(CliContext &context, const QList<ControllerHit> &hits,
           const std::optional<ControllerHit> &outsideRange = std::nullopt)
{
    const QList<ControllerHit> outside = hits.isEmpty() && outsideRange
                                             ? QList<ControllerHit>{*outsideRange}
                                             : QList<ControllerHit>{};
    if (context.json)
        context.out << HitsToJson(hits, outside) << '\n';
    else if (context.parser.isSet(QStringLiteral("csv")))
        context.out << QString::fromUtf8(HitsToCsv(hits));
    else if (hits.isEmpty())
        context.err << "no controller found\n";
    else
        context.out << HitsToText(hits);
    if (!outside.isEmpty() && !context.json)
        context.err << "outside the Device IDs searched (--ids): " << HitsToText(outside);
    return hits.isEmpty() ? ExitFailed : ExitOk;
}

int SearchSerial(CliContext &context)
{
    const QCommandLineParser &p = context.parser;
    const ComPortMap map = ComPortMap::fromEnvironment();
    QStringList names = p.values(QStringLiteral("port"));
    for (const QString &name : names) {
        const SerialTarget target = SerialTargetFor(name, map);
        if (target.number <= 0 && target.devicePath.isEmpty())
            return UsageError(context,
                              QStringLiteral("--port wants COM<n> or a device path: ") + name);
    }
    if (names.isEmpty())
        names = MachineSerialPorts(map);

    SerialSearch::Request request;
    request.map = map;
    request.ports = SerialTargetsInSearchOrder(names, map);
    const QString line = p.value(QStringLiteral("line"));
    if (line.isEmpty() || line == QLatin1String("all")) {
        request.plan.lineSettings = LineSettingsSearchOrder();
    } else if (SerialSettings::parse(line)) {
        request.plan.lineSettings = {line.trimmed()};
    } else {
        return UsageError(context,
                          QStringLiteral("--line wants settings such as 19200,e,8,1, or all"));
    }
    const auto ids = ParseRange(p.value(QStringLiteral("ids")), 0, 9999);
    if (p.isSet(QStringLiteral("ids")) && !ids)
        return UsageError(context, QStringLiteral("--ids wants A-B with 0 <= A <= B <= 9999"));
    request.plan.firstId = ids ? ids->first : 1;
    request.plan.lastId = ids ? ids->last : 1;
    request.plan.thorough = p.isSet(QStringLiteral("thorough"));
    request.plan.trace = context.link.trace();
    if (request.ports.isEmpty()) {
        context.err << "no serial port to search\n";
        return Report(context, {});
    }

    SerialSearch search;
    SearchProgressLine progress(context);
    QObject::connect(
        &search, &SerialSearch::scanning,
        [&progress](const QString &port, const QString &settings, int id) {
            progress.show(
                QStringLiteral("searching %1 %2 ID %3").arg(port, settings, DeviceIdText(id)));
        });
    QObject::connect(&search, &SerialSearch::unavailable, [&context](const QString &port) {
        context.err << port << ": cannot be opened\n";
    });
    QEventLoop loop;
    QObject::connect(&search, &SerialSearch::finished, &loop, &QEventLoop::quit);
    search.start(request);
    loop.exec();
    QList<ControllerHit> hits;
    if (search.hit())
        hits << *search.hit();
    return Report(context, hits, search.outsideRange());
}

int SearchTcp(CliContext &context)
{
    const QCommandLineParser &p = context.parser;
    NetworkSearch::Request request;
    request.network = p.value(QStringLiteral("net")).trimmed();
    if (request.network.isEmpty())
        return UsageError(context, QStringLiteral("--net A.B.C is required"));
    const auto range = ParseRange(p.value(QStringLiteral("range")), 0, 255);
    if (!range)
        return UsageError(context, QStringLiteral("--range wants X-Y with 0 <= X <= Y <= 255"));
    request.first = range->first;
    request.last = range->last;
    const QStringList ports = p.values(QStringLiteral("port"));
    if (ports.size() > 1)
        return UsageError(context, QStringLiteral("search tcp takes one --port"));
    if (!ports.isEmpty()) {
        bool ok = false;
        const uint port = ports.first().toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return UsageError(context, QStringLiteral("--port wants a TCP port number"));
        request.port = static_cast<quint16>(port);
    }
    const auto ids = ParseRange(p.value(QStringLiteral("ids")), 0, 9999);
    if (p.isSet(QStringLiteral("ids")) && !ids)
        return UsageError(context, QStringLiteral("--ids wants A-B with 0 <= A <= B <= 9999"));
    request.firstId = ids ? ids->first : 1;
    request.lastId = ids ? ids->last : 1;
    request.all = p.isSet(QStringLiteral("all"));
    request.trace = context.link.trace();
    // Nothing is sent to a range that cannot be searched (or may not be, on loopback only).
    const QString refusal = NetworkSearch::Refusal(request);
    if (!refusal.isEmpty()) {
        context.err << refusal << '\n';
        return ExitUsage;
    }

    NetworkSearch search;
    SearchProgressLine progress(context);
    progress.show(QStringLiteral("searching %1.%2-%3:%4")
                      .arg(request.network)
                      .arg(request.first)
                      .arg(request.last)
                      .arg(request.port));
    QObject::connect(&search, &NetworkSearch::probing,
                     [&progress, &request](const QString &address, int id) {
                         progress.show(QStringLiteral("searching %1:%2 ID %3")
                                           .arg(address)
                                           .arg(request.port)
                                           .arg(DeviceIdText(id)));
                     });
    QEventLoop loop;
    QObject::connect(&search, &NetworkSearch::finished, &loop, &QEventLoop::quit);
    if (!search.start(request))
        return ExitUsage;
    loop.exec();
    QList<ControllerHit> hits = search.hits();
    std::sort(hits.begin(), hits.end(), [](const ControllerHit &a, const ControllerHit &b) {
        return a.address.section(QLatin1Char('.'), 3).toInt() <
               b.address.section(QLatin1Char('.'), 3).toInt();
    });
    return Report(context, hits);
}

} // namespace

int runSearchVerb(CliContext &context)
{
    if (context.arguments.size() != 1)
        return UsageError(context,
                          QStringLiteral("search serial and search tcp take no further words"));
    return context.arguments.first() == QLatin1String("serial") ? SearchSerial(context)
                                                                : SearchTcp(context);
}
