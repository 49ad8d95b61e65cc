#include "BuildVersion.h"
#include "CliApplication.h"
#include "CliContext.h"
#include "CliMessages.h"
#include "CommandLine.h"
#include "Language.h"
#include "LanguageTranslator.h"
#include "LinkOptions.h"
#include "OutputFileRule.h"
#include "StreamRelay.h"
#include "TraceFile.h"
#include "VerbHelp.h"
#include "VerbTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>

namespace {

int run(QTextStream &out, QTextStream &err)
{
    CommandLine line(QCoreApplication::arguments());
    switch (line.read()) {
    case CommandLine::Outcome::Help:
        out << line.helpText();
        return ExitOk;
    case CommandLine::Outcome::Version:
        out << "kt480ctl " << BuildVersionText() << '\n';
        return ExitOk;
    case CommandLine::Outcome::Refused:
        err << line.problem() << '\n';
        return ExitUsage;
    case CommandLine::Outcome::Run:
        break;
    }
    QCommandLineParser &parser = line.parser();
    QLoggingCategory::setFilterRules(
        parser.isSet(QStringLiteral("verbose"))
            ? QStringLiteral("kt480.*=true")
            : QStringLiteral("kt480.*.debug=false\nkt480.*.info=false"));
    const VerbForm &form = line.form();
    QStringList words = line.words();
    const QStringList arguments = line.verb().hasActions() ? words.mid(1) : words;
    // Every file the run would write is judged before anything is opened, the trace included.
    if (const QString problem = OutputFileRule::Check(form, parser, arguments);
        !problem.isEmpty()) {
        err << problem << '\n';
        return ExitUsage;
    }
    LinkOptions link;
    if (form.reachesController && !link.read(parser)) {
        err << link.error() << '\n';
        return ExitUsage;
    }
    TraceFile trace;
    const QString traceOption = VerbTable::TraceOption().name;
    const bool traced = form.accepts(traceOption) && parser.isSet(traceOption);
    if (traced) {
        const QString path = parser.value(traceOption);
        if (!trace.open(path)) {
            err << "--trace: cannot write " << path << ": " << trace.errorString() << '\n';
            return ExitFailed;
        }
        link.setTrace(&trace);
    }
    CliContext context{parser,
                       words,
                       link,
                       out,
                       err,
                       parser.isSet(QStringLiteral("json")),
                       UsageText(line.verb())};
    const int code = line.verb().run(context);
    if (const qsizetype lost = trace.lostLines(); lost > 0)
        err << "--trace: " << lost << " lines could not be written to " << parser.value(traceOption)
            << "; the trace is not complete\n";
    return code;
}

// An argument whose bytes are not UTF-8 text (a file name from another system, say) comes to
// the program with its bad bytes replaced: the file named would be another one. Refused.
QString unnamableArgument(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        if (QFile::encodeName(QFile::decodeName(raw)) != raw)
            return QStringLiteral("argument %1 (\"%2\") is not UTF-8 text: kt480ctl cannot name "
                                  "such a file exactly; rename the file; nothing was done")
                .arg(i)
                .arg(QString::fromUtf8(raw));
    }
    return {};
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
    const CliMessages messages(standardError);
    int code = ExitOk;
    {
        QTextStream out(&standardOutput);
        QTextStream err(&standardError);
        if (const QString problem = unnamableArgument(argc, argv); !problem.isEmpty()) {
            err << problem << '\n';
            code = ExitUsage;
        } else {
            code = run(out, err);
        }
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
