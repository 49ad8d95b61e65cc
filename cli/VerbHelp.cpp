#include "VerbHelp.h"

#include "VerbTable.h"

#include <QStringList>
#include <algorithm>

namespace {

const QString Connection =
    QStringLiteral("CONNECTION: --tcp HOST[:PORT] | --udp HOST[:PORT] [--local-port N] |\n"
                   "            --serial PORT [--line SETTINGS]; and [--id N|auto]\n");

QString Aligned(const QList<QPair<QString, QString>> &rows)
{
    qsizetype width = 0;
    for (const auto &row : rows)
        width = std::max(width, row.first.size());
    QString text;
    for (const auto &row : rows)
        text += QStringLiteral("  ") + row.first.leftJustified(width + 2) + row.second + u'\n';
    return text;
}

} // namespace

QString UsageLine(const VerbSpec &verb, const VerbForm &form)
{
    QStringList words{QStringLiteral("kt480ctl")};
    if (form.reachesController)
        words << QStringLiteral("CONNECTION");
    words << verb.name;
    if (!form.action.isEmpty())
        words << form.action;
    if (!form.arguments.isEmpty())
        words << form.arguments;
    // The option that chooses the form, unless the arguments show it with its value.
    if (!form.chosenBy.isEmpty() && !form.arguments.contains(QStringLiteral("--") + form.chosenBy))
        words << QStringLiteral("--") + form.chosenBy;
    // A form that reaches no controller lists --trace itself where it takes it; one that
    // reaches a controller takes it with CONNECTION.
    for (const CliOption &option : form.options) {
        const QString shown = QStringLiteral("--") + option.name;
        const bool inArguments = form.arguments.contains(shown);
        if (option.name != form.chosenBy && !inArguments)
            words << u'[' + option.synopsis() + u']';
    }
    return words.join(u' ');
}

QString UsageText(const VerbSpec &verb)
{
    QStringList lines;
    for (const VerbForm &form : verb.forms)
        lines << UsageLine(verb, form);
    return QStringLiteral("usage: ") + lines.join(QStringLiteral("\n       ")) + u'\n';
}

QString TopHelp()
{
    QList<QPair<QString, QString>> verbs;
    for (const VerbSpec &verb : VerbTable::Verbs())
        verbs.append({verb.name, verb.summary});
    verbs.append({QStringLiteral("help VERB"), QStringLiteral("a verb's actions and options")});
    return QStringLiteral("kt480ctl: command-line client for the KT480NT (V5) door "
                          "access-control controller\n\n"
                          "Usage: kt480ctl [CONNECTION] VERB [ACTION] [ARGUMENTS] [OPTIONS]\n\n"
                          "Verbs:\n") +
           Aligned(verbs) + u'\n' + Connection +
           QStringLiteral("Every verb takes --json, --verbose and --help; verbs that send frames "
                          "take --trace FILE.\n"
                          "kt480ctl help VERB (or kt480ctl VERB --help) shows a verb's actions "
                          "and options;\nkt480ctl --version the version. Exit status: 0 success, "
                          "1 failure, 2 bad arguments.\n");
}

QString VerbHelp(const VerbSpec &verb)
{
    QString text = QStringLiteral("kt480ctl %1: %2\n\nUsage:\n").arg(verb.name, verb.summary);
    bool reaches = false;
    bool traced = false;
    for (const VerbForm &form : verb.forms) {
        text += QStringLiteral("  ") + UsageLine(verb, form) + QStringLiteral("\n      ") +
                form.summary + u'\n';
        reaches = reaches || form.reachesController;
        traced = traced || form.accepts(VerbTable::TraceOption().name);
    }
    QList<QPair<QString, QString>> options;
    QStringList listed;
    for (const VerbForm &form : verb.forms) {
        for (const CliOption &option : form.options) {
            if (listed.contains(option.name) || option.name == VerbTable::TraceOption().name)
                continue;
            listed << option.name;
            options.append({option.synopsis(), option.description});
        }
    }
    if (!options.isEmpty())
        text += QStringLiteral("\nOptions:\n") + Aligned(options);
    text += u'\n';
    if (reaches)
        text += Connection;
    text += QStringLiteral("Also: --json, ") +
            (traced ? QStringLiteral("--trace FILE, ") : QString()) +
            QStringLiteral("--verbose, --help\n\nExample:\n  ") + verb.example + u'\n';
    return text;
}
