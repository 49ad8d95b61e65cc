#include "VerbTable.h"

#include "BackupRecord.h"
#include "BackupVerb.h"
#include "CardCodec.h"
#include "CardFile.h"
#include "CardsVerb.h"
#include "ClockVerb.h"
#include "ExchangeVerb.h"
#include "FileVerb.h"
#include "FleetVerb.h"
#include "Frame.h"
#include "IdentifyVerb.h"
#include "ParamFilePaths.h"
#include "ParamsVerb.h"
#include "ReaderVerb.h"
#include "RecordsVerb.h"
#include "SdVerb.h"
#include "SearchVerb.h"
#include "UsageArguments.h"

#include <algorithm>
#include <climits>

namespace {

using Options = QList<CliOption>;

CliOption Switch(const QString &name, const QString &description, QChar letter = {})
{
    return {.name = name, .description = description, .letter = letter};
}

CliOption Valued(const QString &name, const QString &valueName, const QString &description,
                 std::optional<NumberRange> range = std::nullopt)
{
    return {.name = name, .valueName = valueName, .description = description, .range = range};
}

const CliOption Json = Switch(QStringLiteral("json"), QStringLiteral("print the result as JSON"));
const CliOption Verbose =
    Switch(QStringLiteral("verbose"),
           QStringLiteral("also print the program's own debug and info messages "
                          "(kt480.*) on standard error"));
const CliOption Help =
    Switch(QStringLiteral("help"), QStringLiteral("show this help"), QLatin1Char('h'));
const CliOption Version =
    Switch(QStringLiteral("version"), QStringLiteral("show the program's version"));
const CliOption Trace =
    Valued(QStringLiteral("trace"), QStringLiteral("FILE"),
           QStringLiteral("write every frame sent and received, in hex with the "
                          "time, to FILE"));

const CliOption Tcp = Valued(QStringLiteral("tcp"), QStringLiteral("HOST[:PORT]"),
                             QStringLiteral("the controller as TCP server (port 5001)"));
const CliOption Udp = Valued(QStringLiteral("udp"), QStringLiteral("HOST[:PORT]"),
                             QStringLiteral("the controller over UDP (port 5001)"));
const CliOption LocalPort = Valued(QStringLiteral("local-port"), QStringLiteral("N"),
                                   QStringLiteral("the local UDP port (default 5001, 0 for any)"));
const CliOption Serial = Valued(QStringLiteral("serial"), QStringLiteral("PORT"),
                                QStringLiteral("a serial port: COM<n> or a device path"));
const CliOption Line = Valued(QStringLiteral("line"), QStringLiteral("SETTINGS"),
                              QStringLiteral("serial line settings (default 19200,e,8,1)"));
const CliOption Id =
    Valued(QStringLiteral("id"), QStringLiteral("N|auto"),
           QStringLiteral("the Device ID, 0 to 9999 (default 1); auto asks 0000AC"));

// Card numbers have seven digits.
const NumberRange CardNumbers{0, CardCodec::MaxCardNumber};
const CliOption From = Valued(QStringLiteral("from"), QStringLiteral("N"),
                              QStringLiteral("first card number (default 1)"), CardNumbers);
const CliOption To =
    Valued(QStringLiteral("to"), QStringLiteral("M"),
           QStringLiteral("last card number (default 10500, at most 9999999)"), CardNumbers);

const CliOption Echo =
    Valued(QStringLiteral("echo"), QStringLiteral("K"),
           QStringLiteral("reply characters that repeat the request (default 6)"),
           NumberRange{0, MaxCommandLength});
const CliOption Now = Switch(QStringLiteral("now"), QStringLiteral("the workstation's time"));
const CliOption CardsOut = Valued(QStringLiteral("out"), QStringLiteral("FILE"),
                                  QStringLiteral("save the cards to this card file"));
const CliOption ClearAll = Switch(QStringLiteral("clear-all"),
                                  QStringLiteral("delete every card of the controller first"));
const CliOption SyncDryRun =
    Switch(QStringLiteral("dry-run"),
           QStringLiteral("show what a sync would write and empty; write nothing"));
const CliOption SkipInvalid = Switch(QStringLiteral("skip-invalid"),
                                     QStringLiteral("write the valid rows when some are not"));

const CliOption Limit = Valued(QStringLiteral("limit"), QStringLiteral("N"),
                               QStringLiteral("read at most N events"), NumberRange{0, INT_MAX});
const CliOption EventsOut = Valued(QStringLiteral("out"), QStringLiteral("FILE.xml"),
                                   QStringLiteral("add the events to this record file"));
const CliOption EventsCsv = Valued(QStringLiteral("csv"), QStringLiteral("FILE"),
                                   QStringLiteral("add the events to this CSV file"));
const CliOption Pdf = Valued(QStringLiteral("pdf"), QStringLiteral("OUT.pdf"),
                             QStringLiteral("write the report as PDF"));
const CliOption ReportCsv = Valued(QStringLiteral("csv"), QStringLiteral("OUT.csv"),
                                   QStringLiteral("write the report's rows as CSV"));
const CliOption Lang = Valued(QStringLiteral("lang"), QStringLiteral("en|zh-TW|zh-CN"),
                              QStringLiteral("the report's language (default en)"));
const CliOption Since = Valued(QStringLiteral("since"), QStringLiteral("DATE"),
                               QStringLiteral("events from DATE on (2008-09-22[T14:05])"));
const CliOption Until = Valued(QStringLiteral("until"), QStringLiteral("DATE"),
                               QStringLiteral("events up to DATE (a date: its whole day)"));
const CliOption Card = Valued(QStringLiteral("card"), QStringLiteral("N"),
                              QStringLiteral("the events of one card number"));
const CliOption Code = Valued(QStringLiteral("code"), QStringLiteral("CODES"),
                              QStringLiteral("event codes: 11, 40-50 or 41,43"));

// The event archive.
const CliOption Db = Valued(QStringLiteral("db"), QStringLiteral("DB"),
                            QStringLiteral("the event archive: a file (SQLite) or "
                                           "postgresql://USER@HOST[:PORT]/NAME (password from "
                                           "PGPASSWORD or ~/.pgpass)"));
const CliOption ArchiveController =
    Valued(QStringLiteral("controller"), QStringLiteral("SERIAL|NAME"),
           QStringLiteral("the events of one controller, by serial number or site name"));
const CliOption ImportController =
    Valued(QStringLiteral("controller"), QStringLiteral("SERIAL"),
           QStringLiteral("the serial number of the controller the file came from"));
const CliOption QueryLimit =
    Valued(QStringLiteral("limit"), QStringLiteral("N"),
           QStringLiteral("at most N events, the oldest first"), NumberRange{1, INT_MAX});
const CliOption QueryCsv = Valued(QStringLiteral("csv"), QStringLiteral("OUT.csv"),
                                  QStringLiteral("write the events as CSV"));

const CliOption ShowCsv = Switch(QStringLiteral("csv"), QStringLiteral("print the table as CSV"));

const CliOption SearchPort =
    Valued(QStringLiteral("port"), QStringLiteral("PORT"),
           QStringLiteral("serial: a port to try, repeat for more (default every "
                          "port); tcp: the TCP port (default 5001)"));
const CliOption SearchLine = Valued(QStringLiteral("line"), QStringLiteral("SETTINGS|all"),
                                    QStringLiteral("the line settings to try (default all)"));
const CliOption Ids = Valued(QStringLiteral("ids"), QStringLiteral("A-B"),
                             QStringLiteral("the Device IDs to try (default 1-1)"));
const CliOption Thorough =
    Switch(QStringLiteral("thorough"),
           QStringLiteral("every Device ID at every setting, also where nothing "
                          "answers the broadcast query"));
const CliOption Net = Valued(QStringLiteral("net"), QStringLiteral("A.B.C"),
                             QStringLiteral("the first three parts of the address"));
const CliOption AddressRange = Valued(QStringLiteral("range"), QStringLiteral("X-Y"),
                                      QStringLiteral("the fourth parts to try"));
const CliOption All = Switch(QStringLiteral("all"),
                             QStringLiteral("every controller of the range, not only the first"));
const CliOption HitsCsv = Switch(QStringLiteral("csv"), QStringLiteral("print the hits as CSV"));

const CliOption ReaderPort =
    Valued(QStringLiteral("port"), QStringLiteral("PORT"),
           QStringLiteral("the reader's port (default: the first that answers)"));
const CliOption Count = Valued(QStringLiteral("count"), QStringLiteral("N"),
                               QStringLiteral("stop after N cards"), NumberRange{1, 1000000});
const CliOption App =
    Valued(QStringLiteral("app"), QStringLiteral("N"),
           QStringLiteral("the application number, 0 to 99 (default 1)"), NumberRange{0, 99});
const CliOption Apb =
    Valued(QStringLiteral("apb"), QStringLiteral("0|1"),
           QStringLiteral("0 APB check (default), 1 no APB check"), NumberRange{0, 1});
const CliOption Pin = Valued(QStringLiteral("pin"), QStringLiteral("XXXX"),
                             QStringLiteral("the card PIN, digits or X (default XXXX)"));

const CliOption Jobs =
    Valued(QStringLiteral("jobs"), QStringLiteral("N"),
           QStringLiteral("controllers worked at once (default 8)"), NumberRange{1, 256});
const CliOption DryRun = Switch(QStringLiteral("dry-run"),
                                QStringLiteral("show what a restore would change; change nothing"));
const CliOption Force = Switch(QStringLiteral("force"),
                               QStringLiteral("also a controller whose serial number is not the "
                                              "backup's, or that holds cards the backup never "
                                              "read"));
const CliOption RestoreForce =
    Switch(QStringLiteral("force"),
           QStringLiteral("also when the controller holds cards the backup never read, or is "
                          "not the backup's controller"));
const CliOption CheckTo =
    Valued(QStringLiteral("check-to"), QStringLiteral("M"),
           QStringLiteral("look for cards outside the backup's range up to M (default 63000)"),
           CardNumbers);
const CliOption Sync =
    Switch(QStringLiteral("sync"), QStringLiteral("write only the cards that differ from the "
                                                  "backup's; delete no card first"));
const CliOption SettleMs =
    Valued(QStringLiteral("settle-ms"), QStringLiteral("MS"),
           QStringLiteral("wait after deleting all cards (default 10000)"), NumberRange{0, 600000});

const QStringList BackupFiles{ParamFilePaths::DefaultFileName, CardFile::DefaultFileName,
                              BackupRecord::FileName};

FileArgument Argument(int position, FileUse use)
{
    return {.position = position, .use = use};
}

FileArgument OptionFile(const QString &option, FileUse use)
{
    return {.option = option, .use = use};
}

// The event archive: a file when --db names one (an address of a server is no file of this
// workstation and meets no other).
FileArgument ArchiveFile(FileUse use)
{
    return OptionFile(Db.name, use);
}

VerbForm Controller(QString action, QString arguments, QString summary, Options options = {},
                    QList<FileArgument> files = {})
{
    return {.action = std::move(action),
            .arguments = std::move(arguments),
            .summary = std::move(summary),
            .reachesController = true,
            .options = std::move(options),
            .files = std::move(files)};
}

VerbForm Alone(QString action, QString arguments, QString summary, Options options = {},
               QList<FileArgument> files = {})
{
    return {.action = std::move(action),
            .arguments = std::move(arguments),
            .summary = std::move(summary),
            .options = std::move(options),
            .files = std::move(files)};
}

QList<VerbSpec> Build()
{
    VerbForm twoFileDiff = Alone(QStringLiteral("diff"), QStringLiteral("A.xml B.xml"),
                                 QStringLiteral("compares two card files; needs no controller"), {},
                                 {Argument(1, FileUse::Reads), Argument(2, FileUse::Reads)});
    twoFileDiff.argumentCount = 2;
    VerbForm controllerDiff =
        Controller(QStringLiteral("diff"), QStringLiteral("FILE"),
                   QStringLiteral("compares a card file with the controller's cards; exit 1 "
                                  "when they differ"),
                   {From, To}, {Argument(1, FileUse::Reads)});
    controllerDiff.argumentCount = 1;
    VerbForm dryRun = Alone(QStringLiteral("restore"), QStringLiteral("SITE.csv DIR"),
                            QStringLiteral("shows what a restore would change; changes nothing"),
                            {DryRun, Jobs, From, To, CheckTo, Force, Trace},
                            {Argument(1, FileUse::Reads),
                             {.position = 2, .use = FileUse::Reads, .controllerFolders = true}});
    dryRun.chosenBy = DryRun.name;
    VerbForm archiveReport =
        Alone(QStringLiteral("report"), QStringLiteral("--db DB (--pdf OUT.pdf | --csv OUT.csv)"),
              QStringLiteral("the printed report of the archive's events"),
              {Db, ArchiveController, Pdf, ReportCsv, Lang, Since, Until, Card, Code},
              {ArchiveFile(FileUse::Reads), OptionFile(Pdf.name, FileUse::Writes),
               OptionFile(ReportCsv.name, FileUse::Writes)});
    archiveReport.chosenBy = Db.name;

    return {
        {QStringLiteral("exchange"),
         QStringLiteral("sends one command text and prints the diagnostic line"),
         QStringLiteral("kt480ctl --tcp 192.168.1.101 exchange 0001AS"),
         runExchangeVerb,
         {Controller({}, QStringLiteral("TEXT"), QStringLiteral("sends TEXT, Device ID included"),
                     {Echo})}},
        {QStringLiteral("identify"),
         QStringLiteral("serial number, firmware version, Device ID and SD card"),
         QStringLiteral("kt480ctl --serial COM3 --id auto identify"),
         runIdentifyVerb,
         {Controller({}, {}, QStringLiteral("identifies the controller"))}},
        {QStringLiteral("clock"),
         QStringLiteral("the controller's clock"),
         QStringLiteral("kt480ctl --tcp 192.168.1.101 clock set --now"),
         runClockVerb,
         {Controller(QStringLiteral("get"), {}, QStringLiteral("reads the clock")),
          Controller(QStringLiteral("set"), QStringLiteral("(--now | \"YYYY-MM-DD hh:mm:ss\")"),
                     QStringLiteral("sets the clock, then reads it back"), {Now})}},
        {QStringLiteral("params"),
         QStringLiteral("the controller's parameters and the parameter file"),
         QStringLiteral("kt480ctl --tcp 192.168.1.101 params backup site.xml"),
         runParamsVerb,
         {Controller(QStringLiteral("get"), QStringLiteral("[CODE...]"),
                     QStringLiteral("reads the 22 page parameters, or the codes given")),
          Controller(QStringLiteral("set"), QStringLiteral("CODE VALUE"),
                     QStringLiteral("writes one parameter or device data record")),
          Controller(QStringLiteral("backup"), QStringLiteral("FILE"),
                     QStringLiteral("saves every AF code and the device data groups to FILE"), {},
                     {{.position = 1, .use = FileUse::Writes, .xmlExtension = true}}),
          Controller(QStringLiteral("restore"), QStringLiteral("FILE"),
                     QStringLiteral("writes a parameter file to the controller"), {},
                     {Argument(1, FileUse::Reads)}),
          Controller(QStringLiteral("defaults"), {},
                     QStringLiteral("factory defaults, then AR00"))}},
        {QStringLiteral("cards"),
         QStringLiteral("the controller's cards and card files"),
         QStringLiteral("kt480ctl --tcp 192.168.1.101 cards read --to 2000 --out cards.xml"),
         runCardsVerb,
         {Controller(QStringLiteral("read"), {},
                     QStringLiteral("reads card numbers N..M and lists them or saves them"),
                     {From, To, CardsOut}, {OptionFile(CardsOut.name, FileUse::Writes)}),
          Controller(QStringLiteral("write"), QStringLiteral("FILE"),
                     QStringLiteral("writes the cards of a card file"), {ClearAll, SkipInvalid},
                     {Argument(1, FileUse::Reads)}),
          Controller(QStringLiteral("clear-all"), {},
                     QStringLiteral("deletes every card of the controller")),
          controllerDiff, twoFileDiff,
          Controller(QStringLiteral("sync"), QStringLiteral("FILE"),
                     QStringLiteral("writes only the card numbers that differ from a card file"),
                     {From, To, SyncDryRun}, {Argument(1, FileUse::Reads)})}},
        {QStringLiteral("backup"),
         QStringLiteral("parameters and cards to the two files of All Backup in DIR"),
         QStringLiteral("kt480ctl --tcp 192.168.1.101 backup lobby --to 2000"),
         runBackupVerb,
         {Controller({}, QStringLiteral("DIR"),
                     QStringLiteral("writes DIR/KT480NT-V5_Parameter.xml and "
                                    "DIR/KT480NT-V5_CardData.xml"),
                     {From, To},
                     {{.position = 1, .use = FileUse::Writes, .within = BackupFiles}})}},
        {QStringLiteral("restore"),
         QStringLiteral("parameters and cards from the two files of All Backup in DIR"),
         QStringLiteral("kt480ctl --tcp 192.168.1.101 restore lobby"),
         runBackupVerb,
         {Controller({}, QStringLiteral("DIR"),
                     QStringLiteral("writes the parameters, deletes every card, writes the "
                                    "cards"),
                     {RestoreForce, CheckTo, SettleMs, Sync},
                     {{.position = 1, .use = FileUse::Reads, .within = BackupFiles}})}},
        {QStringLiteral("sd"),
         QStringLiteral("the controller's own SD card copy"),
         QStringLiteral("kt480ctl --udp 192.168.1.101 sd backup 1"),
         runSdVerb,
         {Controller(QStringLiteral("status"), {}, QStringLiteral("idle, or the copy it runs")),
          Controller(QStringLiteral("backup"), QStringLiteral("SLOT"),
                     QStringLiteral("copies into slot 1..10 and follows it to the end")),
          Controller(QStringLiteral("restore"), QStringLiteral("SLOT"),
                     QStringLiteral("copies out of slot 1..10 and follows it to the end"))}},
        {QStringLiteral("records"),
         QStringLiteral("the controller's event log and record files"),
         QStringLiteral("kt480ctl --tcp 192.168.1.101 records read --out events.xml"),
         runRecordsVerb,
         {Controller(QStringLiteral("count"), {}, QStringLiteral("how many events the log holds")),
          Controller(QStringLiteral("read"), {},
                     QStringLiteral("reads the log; an existing file keeps its events and gets "
                                    "the new ones"),
                     {Limit, EventsOut, EventsCsv, Db},
                     {OptionFile(EventsOut.name, FileUse::AddsEvents),
                      OptionFile(EventsCsv.name, FileUse::AddsEvents),
                      ArchiveFile(FileUse::Updates)}),
          Alone(QStringLiteral("report"),
                QStringLiteral("FILE.xml (--pdf OUT.pdf | --csv OUT.csv)"),
                QStringLiteral("the printed report of a record file; needs no controller"),
                {Pdf, ReportCsv, Lang, Since, Until, Card, Code},
                {Argument(1, FileUse::Reads), OptionFile(Pdf.name, FileUse::Writes),
                 OptionFile(ReportCsv.name, FileUse::Writes)}),
          archiveReport,
          Alone(QStringLiteral("query"), QStringLiteral("--db DB"),
                QStringLiteral("the archive's events across controllers and months"),
                {Db, ArchiveController, Since, Until, Card, Code, QueryLimit, QueryCsv},
                {ArchiveFile(FileUse::Reads), OptionFile(QueryCsv.name, FileUse::Writes)}),
          Alone(QStringLiteral("import"), QStringLiteral("FILE.xml --db DB --controller SERIAL"),
                QStringLiteral("brings a record file into the archive; an event it holds "
                               "already is not added again"),
                {Db, ImportController},
                {Argument(1, FileUse::Reads), ArchiveFile(FileUse::Updates)})}},
        {QStringLiteral("reader"),
         QStringLiteral("the MELOK9 desk reader; needs no controller"),
         QStringLiteral("kt480ctl reader enrol new-cards.xml --count 20"),
         runReaderVerb,
         {Alone(QStringLiteral("watch"), {}, QStringLiteral("prints each card ID presented"),
                {ReaderPort, Count}),
          Alone(QStringLiteral("enrol"), QStringLiteral("FILE"),
                QStringLiteral("adds each card presented to the card file"),
                {ReaderPort, Count, App, Apb, Pin}, {Argument(1, FileUse::Updates)})}},
        {QStringLiteral("search"),
         QStringLiteral("finds controllers; needs no connection options"),
         QStringLiteral("kt480ctl search tcp --net 192.168.1 --range 1-254 --all"),
         runSearchVerb,
         {Alone(QStringLiteral("serial"), {}, QStringLiteral("on the serial ports"),
                {SearchPort, SearchLine, Ids, Thorough, HitsCsv, Trace}),
          Alone(QStringLiteral("tcp"), {}, QStringLiteral("in a range of IPv4 addresses"),
                {Net, AddressRange, SearchPort, Ids, All, HitsCsv, Trace})}},
        {QStringLiteral("file"),
         QStringLiteral("data packet (.xml) and CSV files; needs no controller"),
         QStringLiteral("kt480ctl file convert cards.xml cards.csv"),
         runFileVerb,
         {Alone(QStringLiteral("show"), QStringLiteral("FILE"), QStringLiteral("prints the file"),
                {ShowCsv}, {Argument(1, FileUse::Reads)}),
          Alone(QStringLiteral("convert"), QStringLiteral("IN OUT"),
                QStringLiteral("between a data packet (.xml) and CSV (.csv)"), {},
                {Argument(1, FileUse::Reads), Argument(2, FileUse::Writes)})}},
        {QStringLiteral("fleet"),
         QStringLiteral("every controller of a site file, several at once"),
         QStringLiteral("kt480ctl fleet backup site.csv backups --jobs 4"),
         runFleetVerb,
         {Alone(QStringLiteral("backup"), QStringLiteral("SITE.csv DIR"),
                QStringLiteral("each controller to DIR/NAME/"), {Jobs, From, To, Trace},
                {Argument(1, FileUse::Reads),
                 {.position = 2, .use = FileUse::Writes, .controllerFolders = true}}),
          Alone(QStringLiteral("restore"), QStringLiteral("SITE.csv DIR"),
                QStringLiteral("each controller from DIR/NAME/"),
                {Jobs, Force, CheckTo, SettleMs, Sync, Trace},
                {Argument(1, FileUse::Reads),
                 {.position = 2, .use = FileUse::Reads, .controllerFolders = true}}),
          dryRun,
          Alone(QStringLiteral("records"), QStringLiteral("SITE.csv --db DB"),
                QStringLiteral("each controller's event log into one archive"), {Db, Jobs, Trace},
                {Argument(1, FileUse::Reads), ArchiveFile(FileUse::Updates)})}},
    };
}

} // namespace

bool VerbForm::takesArguments(qsizetype count) const
{
    return UsageArguments::Allow(arguments, count);
}

bool VerbForm::accepts(const QString &name) const
{
    const QList<CliOption> accepted = VerbTable::AcceptedOptions(*this);
    return std::any_of(accepted.cbegin(), accepted.cend(), [&name](const CliOption &o) {
        return o.name == name || (!o.letter.isNull() && name == QString(o.letter));
    });
}

std::optional<CliOption> VerbForm::option(const QString &name) const
{
    for (const CliOption &o : options) {
        if (o.name == name)
            return o;
    }
    return std::nullopt;
}

bool VerbForm::readsCardRange() const
{
    return option(From.name) && option(To.name);
}

QStringList VerbSpec::actions() const
{
    QStringList names;
    for (const VerbForm &f : forms) {
        if (!names.contains(f.action))
            names << f.action;
    }
    return names;
}

const VerbForm *VerbSpec::form(const QStringList &words, const QStringList &optionsGiven) const
{
    const QString action = hasActions() ? words.value(0) : QString();
    const qsizetype arguments = words.size() - (hasActions() ? 1 : 0);
    QList<const VerbForm *> candidates;
    for (const VerbForm &f : forms) {
        if (f.action == action)
            candidates << &f;
    }
    if (candidates.isEmpty())
        return nullptr;
    for (const VerbForm *f : candidates) {
        if (!f->chosenBy.isEmpty() && optionsGiven.contains(f->chosenBy))
            return f;
    }
    for (const VerbForm *f : candidates) {
        if (f->chosenBy.isEmpty() && f->argumentCount == arguments)
            return f;
    }
    for (const VerbForm *f : candidates) {
        if (f->chosenBy.isEmpty())
            return f;
    }
    return candidates.first();
}

QList<CliOption> VerbSpec::allOptions() const
{
    QList<CliOption> all;
    QStringList names;
    for (const VerbForm &f : forms) {
        for (const CliOption &o : VerbTable::AcceptedOptions(f)) {
            if (!names.contains(o.name)) {
                names << o.name;
                all << o;
            }
        }
    }
    return all;
}

namespace VerbTable {

const QList<VerbSpec> &Verbs()
{
    static const QList<VerbSpec> verbs = Build();
    return verbs;
}

const VerbSpec *Find(const QString &name)
{
    for (const VerbSpec &verb : Verbs()) {
        if (verb.name == name)
            return &verb;
    }
    return nullptr;
}

const QList<CliOption> &CommonOptions()
{
    static const QList<CliOption> options{Json, Verbose, Help};
    return options;
}

const QList<CliOption> &ConnectionOptions()
{
    static const QList<CliOption> options{Tcp, Udp, LocalPort, Serial, Line, Id};
    return options;
}

const CliOption &TraceOption()
{
    return Trace;
}

const CliOption &VersionOption()
{
    return Version;
}

QList<CliOption> AcceptedOptions(const VerbForm &form)
{
    QList<CliOption> accepted = form.options;
    if (form.reachesController)
        accepted << ConnectionOptions() << Trace;
    accepted << CommonOptions();
    return accepted;
}

} // namespace VerbTable
