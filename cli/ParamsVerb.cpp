#include "ParamsVerb.h"

#include "CliContext.h"
#include "CliJson.h"
#include "CliPrompt.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Language.h"
#include "ParamCommands.h"
#include "ParamContext.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

void print(CliContext &context, const ParamResult &result)
{
    if (context.json) {
        QJsonArray values;
        for (const ParamValue &v : result.values)
            values.append(
                QJsonObject{{QStringLiteral("code"), v.code}, {QStringLiteral("value"), v.value}});
        const QJsonObject object{
            {QStringLiteral("complete"), result.success},
            {QStringLiteral("values"), values},
            {QStringLiteral("failedCodes"), QJsonArray::fromStringList(result.failedCodes)},
            {QStringLiteral("messages"), QJsonArray::fromStringList(result.messages)}};
        PrintJson(context, object);
        return;
    }
    for (const ParamValue &v : result.values)
        context.out << v.code << ' ' << v.value << '\n';
    for (const QString &m : result.messages)
        context.err << m << '\n';
    context.out << (result.success ? "OK!" : "Error!") << '\n';
}

} // namespace

int runParamsVerb(CliContext &context)
{
    const QStringList &args = context.arguments;
    const QString action = args.value(0);
    const bool valid = action == QLatin1String("get") ||
                       (action == QLatin1String("set") && args.size() == 3) ||
                       ((action == QLatin1String("backup") || action == QLatin1String("restore")) &&
                        args.size() == 2) ||
                       (action == QLatin1String("defaults") && args.size() == 1);
    if (!valid) {
        context.err << context.usage;
        return ExitUsage;
    }
    // Codes and values are checked before the link opens: a typing error sends nothing.
    QString problem;
    if (action == QLatin1String("get"))
        problem = ParamCommands::GetProblem(args.mid(1));
    else if (action == QLatin1String("set"))
        problem = ParamCommands::SetProblem(args[1], args[2]);
    if (!problem.isEmpty()) {
        context.err << problem << '\n';
        return ExitUsage;
    }
    Comm comm;
    if (!ControllerSession::open(context, comm))
        return ExitFailed;
    // The command line remembers no paths in the user's settings.
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    CliPrompt prompt(context.err);
    const Language language;
    const ProgressLine progressLine(context, progress);
    ParamContext params{comm, *settings, progress, clockReadPaused, prompt, language};
    ParamResult result;
    if (action == QLatin1String("get"))
        result = ParamCommands::Get(params, args.mid(1));
    else if (action == QLatin1String("set"))
        result = ParamCommands::Set(params, args[1], args[2]);
    else if (action == QLatin1String("backup"))
        result = ParamCommands::Backup(params, args[1]);
    else if (action == QLatin1String("restore"))
        result = ParamCommands::Restore(params, args[1]);
    else
        result = ParamCommands::Defaults(params);
    print(context, result);
    return result.success ? ExitOk : ExitFailed;
}
