#include "BackupVerb.h"

#include "AllBackup.h"
#include "CardFile.h"
#include "CliContext.h"
#include "CliJson.h"
#include "CliPrompt.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Language.h"
#include "NumberOption.h"
#include "ParamFilePaths.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

int runBackupVerb(CliContext &context)
{
    const bool backup = context.parser.positionalArguments().value(0) == QLatin1String("backup");
    if (context.arguments.size() != 1) {
        context.err << context.usage;
        return ExitUsage;
    }
    const QDir dir(context.arguments.first());
    const QString parameterFile = dir.filePath(ParamFilePaths::DefaultFileName);
    const QString cardFile = dir.filePath(CardFile::DefaultFileName);

    Comm comm;
    if (!ControllerSession::open(context, comm))
        return ExitFailed;
    const std::unique_ptr<Settings> settings = Settings::Transient();
    ProgressState progress;
    SharedFlag clockReadPaused;
    SharedFlag batchMode;
    CliPrompt prompt(context.err);
    const Language language;
    const ProgressLine progressLine(context, progress);
    AllBackup all(comm, *settings, progress, clockReadPaused, batchMode, prompt, language);
    const AllBackup::Outcome outcome =
        backup ? all.backup(parameterFile, cardFile, CardRangeOption(context.parser))
               : all.restore(parameterFile, cardFile, ControllerSession::readVersion(comm));
    if (context.json) {
        const QJsonObject object{
            {QStringLiteral("complete"), outcome.complete()},
            {QStringLiteral("parametersComplete"), outcome.parametersComplete},
            {QStringLiteral("cardsComplete"), outcome.cardsComplete},
            {QStringLiteral("parameterProblems"),
             QJsonArray::fromStringList(outcome.parameterProblems)},
            {QStringLiteral("cardProblems"), QJsonArray::fromStringList(outcome.cardProblems)},
            {QStringLiteral("parameterFile"), parameterFile},
            {QStringLiteral("cardFile"), cardFile}};
        PrintJson(context, object);
    } else {
        context.out << outcome.reportText() << '\n';
    }
    return outcome.complete() ? ExitOk : ExitFailed;
}
