#include "ReaderVerb.h"

#include "CardEnrolment.h"
#include "CardFile.h"
#include "CardTable.h"
#include "CliContext.h"
#include "CliJson.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "MachineSerialPorts.h"
#include "NumberOption.h"
#include "ReaderPoller.h"
#include "ReaderSearch.h"
#include "SerialPortOrder.h"
#include "TableStore.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>
#include <functional>

namespace {

// The ports to search: the one given, or every port of the machine, last name first.
std::optional<QList<SerialTarget>> PortsToSearch(CliContext &context)
{
    const ComPortMap map = ComPortMap::fromEnvironment();
    const QStringList given = context.parser.values(QStringLiteral("port"));
    if (given.size() > 1)
        return std::nullopt;
    if (given.isEmpty())
        return SerialTargetsInSearchOrder(MachineSerialPorts(map), map);
    const SerialTarget target = SerialTargetFor(given.first(), map);
    if (target.devicePath.isEmpty())
        return std::nullopt;
    return QList<SerialTarget>{target};
}

// Finds the reader (its port stays open in comm); false with the message written.
bool FindReader(CliContext &context, Comm &comm, const QList<SerialTarget> &ports,
                QString &readCommand)
{
    ReaderSearch search(comm);
    const bool terminal = !context.json && ControllerSession::stderrIsTerminal();
    QObject::connect(&search, &ReaderSearch::scanning, [&](const QString &port) {
        if (terminal)
            context.err << '\r' << port << " Scanning..... MELOK9   " << Qt::flush;
    });
    const auto found = search.find(ports, 0);
    if (terminal)
        context.err << '\n';
    if (!found) {
        context.err << "couldn't find MELOK9!\n";
        return false;
    }
    context.err << "MELOK9 on " << found->port.name << " (" << found->readCommand << ")\n"
                << Qt::flush;
    readCommand = found->readCommand;
    return true;
}

// Polls the reader and hands each card to `take` until it returns false. A reader that stops
// answering is named on standard error, and again when it is back.
void Poll(CliContext &context, Comm &comm, const QString &readCommand,
          const std::function<bool(const QString &)> &take)
{
    ReaderPoller poller(comm);
    QEventLoop loop;
    QObject::connect(&poller, &ReaderPoller::answeringChanged, &loop, [&](bool answering) {
        context.err << (answering ? "the reader answers again\n"
                                  : "the reader does not answer: check its cable and power\n")
                    << Qt::flush;
    });
    QObject::connect(&poller, &ReaderPoller::cardRead, &loop, [&](const QString &cardId) {
        if (!take(cardId)) {
            poller.stop();
            loop.quit();
        }
    });
    poller.start(readCommand);
    loop.exec();
}

int Watch(CliContext &context, Comm &comm, const QString &readCommand)
{
    const int count = NumberOptionValue(context.parser, QStringLiteral("count"), 0);
    int seen = 0;
    Poll(context, comm, readCommand, [&](const QString &cardId) {
        if (context.json)
            PrintJson(context, {{QStringLiteral("cardId"), cardId}});
        else
            context.out << cardId << '\n' << Qt::flush;
        return count == 0 || ++seen < count;
    });
    return ExitOk;
}

int Enrol(CliContext &context, Comm &comm, const QString &readCommand, const QString &path,
          TableStore &table, const CardEnrolment::PendingCard &settings)
{
    const int count = NumberOptionValue(context.parser, QStringLiteral("count"), 0);
    int added = 0;
    int result = ExitOk;
    Poll(context, comm, readCommand, [&](const QString &cardId) {
        if (CardEnrolment::HasCardId(table, cardId)) {
            if (context.json)
                PrintJson(context, {{QStringLiteral("cardId"), cardId},
                                    {QStringLiteral("refused"), QStringLiteral("CardID Repeat")}});
            context.err << "CardID Repeat! " << cardId << '\n' << Qt::flush;
            return true;
        }
        const int number = CardEnrolment::NextFreeNumber(table);
        if (number > CardEnrolment::HighestNumber) {
            context.err << "no free card number from 1 to " << CardEnrolment::HighestNumber << "; "
                        << cardId << " was not added\n";
            result = ExitFailed;
            return false;
        }
        CardEnrolment::PendingCard card = settings;
        card.cardNo = QString::number(number);
        card.cardId = cardId;
        CardEnrolment::CommitPending(table, card);
        // Saved after every card: a run broken off keeps every card added so far.
        if (const TableResult saved = CardFile::Save(table, path); !saved) {
            context.err << saved.error() << '\n';
            result = ExitFailed;
            return false;
        }
        const CardRecord row = CardTable::RowAt(table, table.RecordCount() - 1);
        if (context.json)
            PrintJson(context, {{QStringLiteral("cardNo"), row.DataNO},
                                {QStringLiteral("cardId"), row.DataID},
                                {QStringLiteral("app"), row.DataApp},
                                {QStringLiteral("pin"), row.DataPIN},
                                {QStringLiteral("apb"), row.DataAPB}});
        else
            context.out << row.DataNO << ' ' << row.DataID << ' ' << row.DataApp << ' '
                        << row.DataType << ' ' << row.DataPIN << ' ' << row.DataAPB << '\n'
                        << Qt::flush;
        return count == 0 || ++added < count;
    });
    return result;
}

} // namespace

int runReaderVerb(CliContext &context)
{
    const QString action = context.arguments.value(0);
    const bool watch = action == QLatin1String("watch") && context.arguments.size() == 1;
    const bool enrol = action == QLatin1String("enrol") && context.arguments.size() == 2;
    if (!watch && !enrol)
        return UsageError(context);
    const auto ports = PortsToSearch(context);
    if (!ports)
        return UsageError(context,
                          QStringLiteral("--port wants one port: COM<n> or a device path"));

    CardEnrolment::PendingCard settings;
    settings.appNo = QString::number(NumberOptionValue(context.parser, QStringLiteral("app"), 1));
    settings.apb = NumberOptionValue(context.parser, QStringLiteral("apb"), 0);
    settings.pin = context.parser.isSet(QStringLiteral("pin"))
                       ? context.parser.value(QStringLiteral("pin"))
                       : QStringLiteral("XXXX");
    static const QRegularExpression pin(QStringLiteral("^[0-9X]{1,4}$"));
    if (!pin.match(settings.pin).hasMatch())
        return UsageError(context,
                          QStringLiteral("--pin wants 1 to 4 characters, each a digit or X"));

    // The card file is checked before the reader is looked for: a file that is not a card
    // file is never written over.
    TableStore table;
    const QString path = enrol ? context.arguments[1] : QString();
    if (enrol) {
        if (QFileInfo::exists(path)) {
            if (const TableResult loaded = CardFile::Load(table, path); !loaded) {
                context.err << loaded.error() << '\n';
                return ExitFailed;
            }
        } else {
            CardTable::Recreate(table);
        }
    }

    Comm comm;
    QString readCommand;
    if (!FindReader(context, comm, *ports, readCommand))
        return ExitFailed;
    return watch ? Watch(context, comm, readCommand)
                 : Enrol(context, comm, readCommand, path, table, settings);
}
