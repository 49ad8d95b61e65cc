#include "ParamTransfer.h"

#include "Comm.h"
#include "ProgressState.h"
#include "ResponsivePause.h"
#include "SharedFlag.h"

#include <QCoreApplication>

namespace {

constexpr int SerialNumberTries = 3;
constexpr int SerialNumberMinimumLength = 8;

} // namespace

ParamTransfer::ParamTransfer(Comm &comm, ProgressState &progress, SharedFlag &clockReadPaused,
                             std::chrono::milliseconds retryPause)
    : comm_(comm), progress_(progress), clockReadPaused_(clockReadPaused), retryPause_(retryPause)
{
}

bool ParamTransfer::transfer(const QString &command, const QString &echoCode)
{
    if (progress_.maximum() > 1) {
        progress_.advance();
        QCoreApplication::processEvents();
    }
    lastResult_ = Comm::NotSent;
    lastFailureSilent_ = true;
    try {
        return attempts(command, echoCode);
    } catch (...) {
        return false;
    }
}

bool ParamTransfer::attempts(const QString &command, const QString &echoCode)
{
    if (!comm_.CommResume())
        return false;
    const FlagScope paused(clockReadPaused_);
    const QString deviceId = comm_.DeviceIDText();
    const int echoLength = static_cast<int>(deviceId.size() + echoCode.size());
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        lastResult_ = comm_.CommExchange(deviceId + command, echoLength);
        ++exchanges_;
        QCoreApplication::processEvents();
        if (lastResult_ == Comm::Accepted) {
            lastFailureSilent_ = false;
            return true;
        }
        if (lastResult_ != Comm::TimedOut && lastResult_ != Comm::NotSent)
            lastFailureSilent_ = false;
        // A controller that refused the code has answered; only a lost or damaged reply
        // needs the line to settle before the next attempt.
        const bool refused =
            lastResult_ >= Comm::ControllerErrorA && lastResult_ < Comm::ControllerErrorA + 7;
        PauseResponsively(refused ? std::chrono::milliseconds(0) : retryPause_);
    }
    return false;
}

bool ParamTransfer::controllerAnswers()
{
    try {
        if (!comm_.CommResume())
            return false;
        const FlagScope paused(clockReadPaused_);
        const QString command = comm_.DeviceIDText() + QLatin1String("AS");
        const int echoLength = static_cast<int>(command.size());
        for (int attempt = 0; attempt < SerialNumberTries; ++attempt) {
            const int result = comm_.CommExchange(command, echoLength);
            ++exchanges_;
            QCoreApplication::processEvents();
            if (result == Comm::Accepted && comm_.ReplyLength() >= SerialNumberMinimumLength)
                return true;
        }
    } catch (...) {
    }
    return false;
}

QString ParamTransfer::replyText() const
{
    return comm_.ReplyText();
}

int ParamTransfer::replyLength() const
{
    return comm_.ReplyLength();
}
