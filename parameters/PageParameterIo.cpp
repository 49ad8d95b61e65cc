#include "PageParameterIo.h"

#include "CommandCheck.h"
#include "PageParameter.h"
#include "ParamTransfer.h"

namespace {

const QString EchoCode = QStringLiteral("AF");

ParamResult UnknownNumber(int number)
{
    ParamResult result;
    result.fail(ParamCode(number),
                PageParameterIo::tr("%1: not a page parameter").arg(ParamCode(number)));
    return result;
}

} // namespace

PageParameterIo::PageParameterIo(ParamTransfer &transfer, QObject *parent)
    : QObject(parent), transfer_(transfer)
{
}

ParamResult PageParameterIo::readOne(int number)
{
    const PageParameter *parameter = FindPageParameter(number);
    if (!parameter)
        return UnknownNumber(number);
    const QString code = parameter->code();
    emit rowStarted(number, false);
    ParamResult result;
    if (!transfer_.transfer(code, EchoCode) || transfer_.replyLength() <= 0) {
        result.fail(code, tr("%1: no answer").arg(code));
    } else {
        const QString value = transfer_.replyText().trimmed();
        if (parameter->isItem(value)) {
            result.values.append({code, value});
            emit rowRead(number, value);
        } else {
            result.fail(code, tr("%1: answer \"%2\" is not one of its values").arg(code, value));
        }
    }
    emit rowFinished(number, result.success);
    return result;
}

ParamResult PageParameterIo::writeOne(int number, const QString &value)
{
    const PageParameter *parameter = FindPageParameter(number);
    if (!parameter)
        return UnknownNumber(number);
    const QString code = parameter->code();
    emit rowStarted(number, true);
    ParamResult result;
    const QString problem = ValueProblem(value);
    if (!problem.isEmpty())
        result.fail(code, QStringLiteral("%1: %2").arg(code, problem));
    else if (!transfer_.transfer(code + value, EchoCode))
        result.fail(code, tr("%1: not written").arg(code));
    else
        result.values.append({code, value});
    emit rowFinished(number, result.success);
    return result;
}

ParamResult PageParameterIo::readAll()
{
    ParamResult all;
    for (const PageParameter &parameter : PageParameters())
        all.merge(readOne(parameter.number));
    return all;
}

ParamResult PageParameterIo::writeAll(const QMap<int, QString> &values)
{
    ParamResult all;
    for (const PageParameter &parameter : PageParameters())
        all.merge(writeOne(parameter.number, values.value(parameter.number)));
    return all;
}
