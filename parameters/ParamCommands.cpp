#include "ParamCommands.h"

#include "Comm.h"
#include "CommandCheck.h"
#include "DeviceDataGroup.h"
#include "PageParameter.h"
#include "PageParameterIo.h"
#include "ParamContext.h"
#include "ParamDefaults.h"
#include "ParamFileTransfer.h"

#include <algorithm>

namespace ParamCommands {

namespace {

constexpr int PageInputLength = 4;
const QString RecordEcho = QStringLiteral("AA");

ParamTransfer MakeTransfer(ParamContext &context)
{
    return ParamTransfer(context.comm, context.progress, context.clockReadPaused,
                         context.retryPause);
}

ParamResult ReadRecord(ParamTransfer &transfer, const QString &code)
{
    ParamResult result;
    if (const QString problem = GetProblem({code}); !problem.isEmpty()) {
        result.fail(code, problem);
        return result;
    }
    if (transfer.transfer(code, code.left(2)))
        result.values.append({code, transfer.replyText().trimmed()});
    else
        result.fail(code, QStringLiteral("%1: no answer").arg(code));
    return result;
}

} // namespace

bool IsPageInput(const QString &text)
{
    return !text.isEmpty() && text.size() <= PageInputLength &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString GetProblem(const QStringList &codes)
{
    for (const QString &code : codes) {
        if (!FindPageParameter(code) && !IsCatalogueCode(code))
            return QStringLiteral("%1: not a parameter code").arg(code);
    }
    return QString();
}

QString SetProblem(const QString &code, const QString &value)
{
    if (FindPageParameter(code)) {
        return IsPageInput(value) ? QString()
                                  : QStringLiteral("%1: the value must be 1 to %2 digits")
                                        .arg(code)
                                        .arg(PageInputLength);
    }
    // Every Device ID is four digits; only its length counts here.
    const QString problem = CommandProblem(QStringLiteral("0000"), code, value);
    return problem.isEmpty() ? QString() : QStringLiteral("%1: %2").arg(code, problem);
}

ParamResult Get(ParamContext &context, const QStringList &codes)
{
    ParamTransfer transfer = MakeTransfer(context);
    PageParameterIo io(transfer);
    if (codes.isEmpty())
        return io.readAll();
    ParamResult all;
    for (const QString &code : codes) {
        const PageParameter *parameter = FindPageParameter(code);
        all.merge(parameter ? io.readOne(parameter->number) : ReadRecord(transfer, code));
    }
    return all;
}

ParamResult Set(ParamContext &context, const QString &code, const QString &value)
{
    ParamTransfer transfer = MakeTransfer(context);
    ParamResult result;
    if (const QString problem = SetProblem(code, value); !problem.isEmpty()) {
        result.fail(code, problem);
        return result;
    }
    if (const PageParameter *parameter = FindPageParameter(code)) {
        PageParameterIo io(transfer);
        return io.writeOne(parameter->number, value);
    }
    if (transfer.transfer(code + value, RecordEcho))
        result.values.append({code, value});
    else
        result.fail(code, QStringLiteral("%1: not written").arg(code));
    return result;
}

ParamResult Backup(ParamContext &context, const QString &file)
{
    ParamTransfer transfer = MakeTransfer(context);
    ParamFileTransfer files(transfer, context.settings, context.prompt, context.language);
    return files.backup(file);
}

ParamResult Restore(ParamContext &context, const QString &file)
{
    ParamTransfer transfer = MakeTransfer(context);
    ParamFileTransfer files(transfer, context.settings, context.prompt, context.language);
    return files.restore(file);
}

ParamResult Defaults(ParamContext &context)
{
    ParamTransfer transfer = MakeTransfer(context);
    return ParamDefaults(transfer, context.language).apply();
}

} // namespace ParamCommands
