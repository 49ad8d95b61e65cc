#include "PageParameterIo.h"

#include "Comm.h"
#include "CommandCheck.h"
#include "PageParameter.h"
#include "ParamTransfer.h"
#include "ProgressState.h"

#include <QScopeGuard>

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
    if (!transfer_.transfer(code, EchoCode)) {
        result.fail(code, transfer_.lastReply().refused
                              ? tr("%1: refused by the controller").arg(code)
                              : tr("%1: no answer").arg(code));
    } else if (transfer_.replyLength() <= 0) {
        result.fail(code, tr("%1: empty answer").arg(code));
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
    // The bare code is a read: the controller answers it, and nothing would be written.
    if (value.isEmpty())
        result.fail(code, tr("%1: no value to write").arg(code));
    else if (!problem.isEmpty())
        result.fail(code, QStringLiteral("%1: %2").arg(code, problem));
    else if (!transfer_.transfer(code + value, EchoCode))
        result.fail(code, transfer_.lastReply().refused
                              ? tr("%1: refused by the controller, not written").arg(code)
                              : tr("%1: not written").arg(code));
    else
        result.values.append({code, value});
    emit rowFinished(number, result.success);
    return result;
}

ParamResult PageParameterIo::readAll()
{
    return runAll([this](int number) { return readOne(number); }, false);
}

ParamResult PageParameterIo::writeAll(const QMap<int, QString> &values)
{
    return runAll([this, &values](int number) { return writeOne(number, values.value(number)); },
                  true);
}

// Five attempts with pauses for each of 22 rows would keep the window locked for minutes
// when the controller has gone: after a few silent rows the link is checked, and an
// unanswered check ends the run.
ParamResult PageParameterIo::runAll(const std::function<ParamResult(int number)> &row, bool writing)
{
    transfer_.watchSilence(SilenceBeforeCheck);
    const auto stopWatching = qScopeGuard([this] { transfer_.watchSilence(0); });
    const ReplyTally before = transfer_.comm().replyTally();
    ParamResult all;
    QString lostAt;
    QString cancelledAt;
    QStringList left;
    for (const PageParameter &parameter : PageParameters()) {
        if (lostAt.isEmpty() && cancelledAt.isEmpty() && transfer_.progress().stopRequested())
            cancelledAt = parameter.code();
        if (!lostAt.isEmpty() || !cancelledAt.isEmpty()) {
            left.append(parameter.code());
            continue;
        }
        all.merge(row(parameter.number));
        if (transfer_.linkLost())
            lostAt = parameter.code();
    }
    if (!cancelledAt.isEmpty()) {
        all.fail(writing
                     ? tr("Cancelled at %1; %n rows were not written.", nullptr, int(left.size()))
                           .arg(cancelledAt)
                     : tr("Cancelled at %1; %n rows were not read.", nullptr, int(left.size()))
                           .arg(cancelledAt));
        all.failedCodes += left;
    }
    if (!lostAt.isEmpty()) {
        all.fail(writing ? tr("The controller stopped answering at %1; %n rows were not written.",
                              nullptr, int(left.size()))
                               .arg(lostAt)
                         : tr("The controller stopped answering at %1; %n rows were not read.",
                              nullptr, int(left.size()))
                               .arg(lostAt));
        all.failedCodes += left;
    }
    if (const quint64 strays = transfer_.comm().replyTally().straysSince(before); strays > 0)
        all.fail(StrayRepliesText(strays));
    return all;
}
