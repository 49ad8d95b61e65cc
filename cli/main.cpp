#include "BackupVerb.h"
#include "CardsVerb.h"
#include "CliApplication.h"
#include "CliContext.h"
#include "ClockVerb.h"
#include "ExchangeVerb.h"
#include "FileVerb.h"
#include "FleetVerb.h"
#include "IdentifyVerb.h"
#include "Language.h"
#include "LanguageTranslator.h"
#include "LinkOptions.h"
#include "NumberOption.h"
#include "ParamsVerb.h"
#include "ReaderVerb.h"
#include "RecordsArchive.h"
#include "RecordsVerb.h"
#include "SdVerb.h"
#include "SearchVerb.h"
#include "StreamRelay.h"
#include "TraceFile.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMap>
#include <functional>

namespace {

struct Verb
{
    std::function<int(CliContext &)> run;
    bool needsController = true;
};

const QMap<QString, Verb> &verbs()
{
    static const QMap<QString, Verb> table{
        {QStringLiteral("exchange"), {runExchangeVerb}},
        {QStringLiteral("identify"), {runIdentifyVerb}},
        {QStringLiteral("clock"), {runClockVerb}},
        {QStringLiteral("cards"), {runCardsVerb, false}},
        {QStringLiteral("file"), {runFileVerb, false}},
        {QStringLiteral("fleet"), {runFleetVerb, false}},
        {QStringLiteral("params"), {runParamsVerb}},
        {QStringLiteral("backup"), {runBackupVerb}},
        {QStringLiteral("restore"), {runBackupVerb}},
        {QStringLiteral("search"), {runSearchVerb, false}},
        {QStringLiteral("records"), {runRecordsVerb, false}},
        {QStringLiteral("reader"), {runReaderVerb, false}},
        {QStringLiteral("sd"), {runSdVerb}},
    };
    return table;
}

int run(QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Command-line client for the KT480NT (V5) controller.\n"
                       "Verbs: ") +
        verbs().keys().join(QStringLiteral(", ")));
    parser.addHelpOption();
    LinkOptions::addTo(parser);
    parser.addOption({QStringLiteral("json"), QStringLiteral("Print the result as JSON.")});
    parser.addOption({QStringLiteral("verbose"),
                      QStringLiteral("Also print the program's own debug and info messages "
                                     "(categories kt480.*) on standard error; warnings, such as "
                                     "a caught error, are always printed.")});
    parser.addOption({QStringLiteral("trace"),
                      QStringLiteral("Write every frame sent and received, in hex with a time, "
                                     "and the diagnostic lines to FILE."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("now"), QStringLiteral("clock set: the workstation's time.")});
    parser.addOption({QStringLiteral("csv"),
                      QStringLiteral("file show: print the table as CSV; records read and "
                                     "records report: --csv FILE writes the rows as CSV.")});
    parser.addOption({QStringLiteral("echo"),
                      QStringLiteral("exchange: echo length of the reply, 0 to 255 (default 6)."),
                      QStringLiteral("K")});
    parser.addOption({QStringLiteral("from"),
                      QStringLiteral("cards read, cards diff, backup, fleet: first card number "
                                     "(default 1)."),
                      QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("to"),
         QStringLiteral("cards read, cards diff, backup, fleet: last card number, at most "
                        "9999999 (default 10500)."),
         QStringLiteral("M")});
    parser.addOption({QStringLiteral("out"),
                      QStringLiteral("cards read, records read: save the table to this file."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("clear-all"),
                      QStringLiteral("cards write: delete every card of the controller first.")});
    parser.addOption({QStringLiteral("skip-invalid"),
                      QStringLiteral("cards write: write the valid rows when some are not.")});
    addSearchOptions(parser);
    addFleetOptions(parser);
    addArchiveOptions(parser);
    parser.addOption({QStringLiteral("limit"),
                      QStringLiteral("records read: read at most N events."), QStringLiteral("N")});
    parser.addOption({QStringLiteral("pdf"),
                      QStringLiteral("records report: write the report to this PDF file."),
                      QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("lang"),
                      QStringLiteral("records report: en, zh-TW or zh-CN (default en)."),
                      QStringLiteral("LANG")});
    parser.addOption({QStringLiteral("since"),
                      QStringLiteral("records report: events from DATE on (2008-09-22[T14:05])."),
                      QStringLiteral("DATE")});
    parser.addOption({QStringLiteral("until"),
                      QStringLiteral("records report: events up to DATE (a date: its whole day)."),
                      QStringLiteral("DATE")});
    parser.addOption({QStringLiteral("card"),
                      QStringLiteral("records report: the events of one card number."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("code"),
                      QStringLiteral("records report: event codes, e.g. 11, 40-50 or 41,43."),
                      QStringLiteral("CODES")});
    parser.addOption({QStringLiteral("count"),
                      QStringLiteral("reader watch, reader enrol: stop after N cards."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("app"),
                      QStringLiteral("reader enrol: the application number, 0 to 99 (default 1)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("apb"),
                      QStringLiteral("reader enrol: 0 APB check (default), 1 no APB check."),
                      QStringLiteral("0|1")});
    parser.addOption({QStringLiteral("pin"),
                      QStringLiteral("reader enrol: the card PIN, digits or X (default XXXX)."),
                      QStringLiteral("XXXX")});
    parser.addPositionalArgument(QStringLiteral("verb"), QStringLiteral("What to do."));

    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << '\n';
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return ExitOk;
    }
    QLoggingCategory::setFilterRules(
        parser.isSet(QStringLiteral("verbose"))
            ? QStringLiteral("kt480.*=true")
            : QStringLiteral("kt480.*.debug=false\nkt480.*.info=false"));
    QStringList words = parser.positionalArguments();
    if (words.isEmpty() || !verbs().contains(words.first())) {
        err << (words.isEmpty() ? QStringLiteral("no verb given")
                                : QStringLiteral("unknown verb: ") + words.first())
            << '\n';
        // A script that asked for JSON gets the reason, not the whole help text.
        if (!parser.isSet(QStringLiteral("json")))
            err << parser.helpText();
        return ExitUsage;
    }
    QString numberError;
    if (!CheckNumberOptions(parser, numberError)) {
        err << numberError << '\n';
        return ExitUsage;
    }
    const Verb verb = verbs().value(words.takeFirst());
    LinkOptions link;
    TraceFile trace;
    if (parser.isSet(QStringLiteral("trace"))) {
        const QString path = parser.value(QStringLiteral("trace"));
        if (!trace.open(path)) {
            err << "--trace: cannot write " << path << ": " << trace.errorString() << '\n';
            return ExitFailed;
        }
        link.setTrace(&trace);
    }
    if (verb.needsController && !link.read(parser)) {
        err << link.error() << '\n';
        return ExitUsage;
    }
    CliContext context{parser, words, link, out, err, parser.isSet(QStringLiteral("json"))};
    const int code = verb.run(context);
    if (const qsizetype lost = trace.lostLines(); lost > 0)
        err << "--trace: " << lost << " lines could not be written to "
            << parser.value(QStringLiteral("trace")) << "; the trace is not complete\n";
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    const auto app = CreateCliApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kt480ctl"));
    // kt480ctl speaks English; its catalogue gives the texts with a count their singular.
    LanguageTranslator translator;
    translator.apply(Language::English);

    StreamRelay standardOutput(stdout);
    StreamRelay standardError(stderr, true);
    int code = ExitOk;
    {
        QTextStream out(&standardOutput);
        QTextStream err(&standardError);
        code = run(out, err);
    }
    // A script that asked for JSON gets JSON also when the verb stopped before its result:
    // the failure, with what was said on standard error.
    if (code != ExitOk && standardOutput.written() == 0 &&
        QCoreApplication::arguments().contains(QStringLiteral("--json"))) {
        QTextStream out(&standardOutput);
        out << QJsonDocument(QJsonObject{{QStringLiteral("complete"), false},
                                         {QStringLiteral("exitCode"), code},
                                         {QStringLiteral("error"), standardError.shownLines()}})
                   .toJson(QJsonDocument::Compact)
            << '\n';
    }
    return code;
}
