#pragma once

#include <QCommandLineParser>
#include <QStringList>
#include <QTextStream>

class Comm;
class LinkOptions;

// What a verb gets: the parsed command line, its own arguments and the output streams.
struct CliContext
{
    QCommandLineParser &parser;
    QStringList arguments; // the words after the verb
    LinkOptions &link;
    QTextStream &out;
    QTextStream &err;
    bool json = false;
    QString usage; // the verb's usage lines, for words that do not fit
};

// Exit codes of every verb.
enum CliExit
{
    ExitOk = 0,
    ExitFailed = 1,
    ExitUsage = 2
};

// A bad argument: the problem (when there is one) and the verb's usage on standard error.
inline int UsageError(CliContext &context, const QString &problem = QString())
{
    if (!problem.isEmpty())
        context.err << problem << '\n';
    context.err << context.usage;
    return ExitUsage;
}
