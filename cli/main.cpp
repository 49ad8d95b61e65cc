#include "CliContext.h"
#include "ExchangeVerb.h"
#include "LinkOptions.h"

#include <QCoreApplication>
#include <QMap>
#include <functional>

namespace {

using Verb = std::function<int(CliContext &)>;

const QMap<QString, Verb> &verbs()
{
    static const QMap<QString, Verb> table{
        {QStringLiteral("exchange"), runExchangeVerb},
    };
    return table;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kt480ctl"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Command-line client for the KT480NT (V5) controller.\n"
                       "Verbs: ") +
        verbs().keys().join(QStringLiteral(", ")));
    parser.addHelpOption();
    LinkOptions::addTo(parser);
    parser.addOption({QStringLiteral("json"), QStringLiteral("Print the result as JSON.")});
    parser.addOption({QStringLiteral("echo"),
                      QStringLiteral("exchange: echo length of the reply (default 6)."),
                      QStringLiteral("K")});
    parser.addPositionalArgument(QStringLiteral("verb"), QStringLiteral("What to do."));

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << '\n';
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return ExitOk;
    }
    QStringList words = parser.positionalArguments();
    if (words.isEmpty() || !verbs().contains(words.first())) {
        err << (words.isEmpty() ? QStringLiteral("no verb given")
                                : QStringLiteral("unknown verb: ") + words.first())
            << "\n"
            << parser.helpText();
        return ExitUsage;
    }
    LinkOptions link;
    if (!link.read(parser)) {
        err << link.error() << '\n';
        return ExitUsage;
    }
    const QString verb = words.takeFirst();
    CliContext context{parser, words, link, out, err, parser.isSet(QStringLiteral("json"))};
    return verbs().value(verb)(context);
}
