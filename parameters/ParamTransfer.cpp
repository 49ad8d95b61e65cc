#include "ParamTransfer.h"

#include "Comm.h"
#include "ParamsLog.h"
#include "ProgressState.h"
#include "SharedFlag.h"

ParamTransfer::ParamTransfer(Comm &comm, ProgressState &progress, SharedFlag &clockReadPaused,
                             std::chrono::milliseconds retryPause)
    : comm_(comm), progress_(progress), clockReadPaused_(clockReadPaused),
      // A reply echoes only the Device ID and two letters ("0001AF"), not the parameter
      // number: a late reply to one code would pass for the next code's reply.
      policy_(comm, {.attempts = Attempts,
                     .pauseAfterLoss = retryPause,
                     .lateReplyWindow = ExchangePolicy::LateReplyWindow,
                     .confirmPossibleCopies = true})
{
}

bool ParamTransfer::transfer(const QString &command, const QString &echoCode)
{
    if (progress_.maximum() > 1)
        progress_.advance();
    lastReply_ = {};
    try {
        if (!comm_.CommResume())
            return false;
        const FlagScope paused(clockReadPaused_);
        lastReply_ = policy_.send(command, static_cast<int>(echoCode.size()));
        return lastReply_.accepted();
    } catch (const std::exception &e) {
        qCWarning(lcParams) << "transfer of" << command << "failed:" << e.what();
    } catch (...) {
        qCWarning(lcParams) << "transfer of" << command << "failed with an unknown error";
    }
    return false;
}

bool ParamTransfer::controllerAnswers()
{
    try {
        if (!comm_.CommResume())
            return false;
        const FlagScope paused(clockReadPaused_);
        return policy_.controllerAnswers();
    } catch (const std::exception &e) {
        qCWarning(lcParams) << "serial-number check failed:" << e.what();
    } catch (...) {
        qCWarning(lcParams) << "serial-number check failed with an unknown error";
    }
    return false;
}

void ParamTransfer::watchSilence(int silentCommandsBeforeCheck)
{
    ExchangePolicy::Rule rule = policy_.rule();
    rule.silentCommandsBeforeCheck = silentCommandsBeforeCheck;
    policy_.setRule(rule);
    policy_.resetSilence();
}

void ParamTransfer::setRetryPause(std::chrono::milliseconds pause)
{
    ExchangePolicy::Rule rule = policy_.rule();
    rule.pauseAfterLoss = pause;
    policy_.setRule(rule);
}

QString ParamTransfer::replyText() const
{
    return comm_.ReplyText();
}

int ParamTransfer::replyLength() const
{
    return comm_.ReplyLength();
}
