#include "SdCardOperation.h"

#include "Comm.h"
#include "ExchangePolicy.h"
#include "Language.h"
#include "ParamTransfer.h"
#include "ParamsLog.h"
#include "ProgressState.h"
#include "ResponsivePause.h"
#include "SharedFlag.h"

#include <QElapsedTimer>
#include <QScopeGuard>

namespace {

constexpr int CountDigits = 4;
constexpr int SectorDigits = 7;
constexpr int PercentMaximum = 100;
constexpr int CountMaximum = 1000;
const QString Dots = QStringLiteral("....");

// Each status request is one exchange: the answer decides what comes next, so a lost one
// is asked again by the step that needs it, after its own pause.
const ExchangePolicy::Rule SingleRequest{.attempts = 1};

QString progressBase(const Language &language, SdCardOperation::Kind kind)
{
    return language.TableText(kind == SdCardOperation::Kind::Backup ? TextRow::Writing
                                                                    : TextRow::Reading);
}

qint64 wholeSeconds(const QElapsedTimer &clock)
{
    return clock.elapsed() / 1000;
}

} // namespace

SdCardOperation::SdCardOperation(ParamTransfer &transfer, SharedFlag &clockReadPaused,
                                 const Language &language, QObject *parent)
    : QObject(parent), transfer_(transfer), clockReadPaused_(clockReadPaused), language_(language)
{
}

std::optional<SdCardOperation::Status> SdCardOperation::ParseStatus(const QString &payload)
{
    if (payload.isEmpty())
        return std::nullopt;
    Status status;
    status.payload = payload;
    status.state = payload.at(0);
    status.count = payload.mid(1, CountDigits).toInt();
    status.sectors = payload.mid(1 + CountDigits, SectorDigits).toLongLong();
    return status;
}

std::optional<SdCardOperation::Status> SdCardOperation::readStatus()
{
    try {
        if (!transfer_.comm().CommResume())
            return std::nullopt;
        const ExchangeReply reply =
            ExchangePolicy(transfer_.comm(), SingleRequest).send(QStringLiteral("AN"));
        return reply.accepted() ? ParseStatus(reply.payload) : std::nullopt;
    } catch (const std::exception &e) {
        qCWarning(lcParams) << "SD status request failed:" << e.what();
    } catch (...) {
        qCWarning(lcParams) << "SD status request failed with an unknown error";
    }
    return std::nullopt;
}

std::optional<SdCardOperation::Status> SdCardOperation::askStatus()
{
    const auto status = readStatus();
    if (status)
        emit controllerState(*status);
    return status;
}

bool SdCardOperation::cancelled(Outcome &outcome) const
{
    if (transfer_.progress().stopRequested())
        outcome.cancelled = true;
    return outcome.cancelled;
}

SdCardOperation::Check SdCardOperation::checkIdle(Outcome &outcome)
{
    const FlagScope paused(clockReadPaused_);
    for (int attempt = 1; attempt <= StatusAttempts && !cancelled(outcome); ++attempt) {
        if (const auto status = askStatus()) {
            outcome.last = status;
            if (status->backupRunning()) {
                outcome.ending = Ending::BusyWithBackup;
                return Check::Busy;
            }
            if (status->restoreRunning()) {
                outcome.ending = Ending::BusyWithRestore;
                return Check::Busy;
            }
            // An idle controller may still be counting what it will copy: a total of 0 is
            // taken only from the third answer on.
            if (status->idle() && (status->count > 0 || attempt >= ReadyFromAttempt)) {
                outcome.total = status->count;
                return Check::Ready;
            }
        }
        if (attempt < StatusAttempts)
            PauseResponsively(timing_.checkPause);
    }
    outcome.ending = Ending::NoAnswer;
    return Check::Silent;
}

bool SdCardOperation::confirmStart(Outcome &outcome)
{
    PauseResponsively(timing_.checkPause);
    const FlagScope paused(clockReadPaused_);
    for (int attempt = 1; attempt <= StatusAttempts && !cancelled(outcome); ++attempt) {
        if (const auto status = askStatus()) {
            outcome.last = status;
            if (status->backupRunning() || status->restoreRunning())
                return true;
        }
        if (attempt < StatusAttempts)
            PauseResponsively(timing_.checkPause);
    }
    return false;
}

void SdCardOperation::showPercent(Kind kind, int percent)
{
    ProgressState &progress = transfer_.progress();
    progress.setMaximum(PercentMaximum);
    progress.setPosition(percent);
    progress.setText(progressBase(language_, kind) + Dots + QString::number(percent) +
                     QLatin1Char('%'));
}

void SdCardOperation::showCount(Kind kind, const Outcome &outcome)
{
    // Without a total, or past it, only the count itself says how far the copy is.
    if (outcome.total > 0 && outcome.done <= outcome.total) {
        showPercent(kind, outcome.done * PercentMaximum / outcome.total);
        return;
    }
    ProgressState &progress = transfer_.progress();
    progress.setMaximum(outcome.done > CountMaximum ? outcome.done + PercentMaximum : CountMaximum);
    progress.setPosition(outcome.done);
    progress.setText(progressBase(language_, kind) + Dots + QString::number(outcome.done));
}

void SdCardOperation::follow(Kind kind, Outcome &outcome)
{
    // The automatic clock read stays out of the way the whole time: a clock read that fails
    // would close the link in the middle of the copy.
    const FlagScope paused(clockReadPaused_);
    QElapsedTimer clock;
    clock.start();
    const qint64 boundSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(timing_.bound).count();
    int failures = 0;
    while (true) {
        PauseResponsively(timing_.pollInterval);
        // Cancel ends the following, not the copy: the controller goes on by itself.
        if (cancelled(outcome)) {
            outcome.ending = Ending::GaveUp;
            return;
        }
        const ExchangeReply reply =
            ExchangePolicy(transfer_.comm(), SingleRequest).send(QStringLiteral("AN"));
        const auto status = reply.accepted() ? ParseStatus(reply.payload) : std::nullopt;
        if (status && status->complete()) {
            emit controllerState(*status);
            outcome.last = status;
            failures = 0;
            if (status->idle()) {
                outcome.ending = Ending::Finished;
                return;
            }
            // A count past the total does not end the following: the controller says when
            // it is done.
            outcome.done = status->count;
            showCount(kind, outcome);
        } else {
            if (!reply.accepted() && failures >= timing_.silenceBeforeTimeShown)
                showPercent(kind, static_cast<int>(wholeSeconds(clock) /
                                                   std::max<qint64>(boundSeconds, 1)));
            ++failures;
        }
        if (clock.elapsed() > timing_.bound.count() || failures >= timing_.failureLimit) {
            outcome.ending = Ending::GaveUp;
            return;
        }
    }
}

SdCardOperation::Outcome SdCardOperation::run(Kind kind, const QString &slot)
{
    Outcome outcome;
    // Shown from the first status request on: a silent controller keeps the check going for
    // seconds, and Cancel is offered throughout.
    ProgressState &progress = transfer_.progress();
    const QString base = progressBase(language_, kind);
    progress.begin(language_.TableText(TextRow::TabSdCardBackupRestore), base, PercentMaximum,
                   true);
    const auto finish = qScopeGuard([this, &progress] {
        progress.end();
        emit status(QString());
    });
    if (checkIdle(outcome) != Check::Ready)
        return outcome;
    emit status(base);

    const QString command = (kind == Kind::Backup ? QStringLiteral("ALB") : QStringLiteral("ALR"));
    const bool accepted = transfer_.transfer(command + slot, QStringLiteral("AL"));
    // A start whose reply was lost or damaged may have begun the copy all the same; the next
    // attempt is then refused because the controller is busy with it. The status decides.
    if (!accepted && !transfer_.lastReply().sent) {
        outcome.ending = Ending::StartFailed;
        return outcome;
    }
    if (!confirmStart(outcome)) {
        // Cancelled while the start is confirmed: the copy may have begun all the same.
        outcome.ending = outcome.cancelled ? Ending::GaveUp
                         : accepted        ? Ending::NotStarted
                                           : Ending::StartFailed;
        return outcome;
    }
    follow(kind, outcome);
    return outcome;
}

QString SdCardOperation::BusyMessage(Kind kind, Ending busy)
{
    // A person who reads only Chinese must learn why nothing was started; the English texts
    // stay word for word.
    const bool backupRunning = busy == Ending::BusyWithBackup;
    if (kind == Kind::Backup)
        return backupRunning ? tr("KT480NT System Busy!! [Backup...] ")
                             : tr("KT480NT System Busy!! [Restore...] ");
    return backupRunning ? tr("KT480NT System Busy [Backup...]!")
                         : tr("KT480NT System Busy [Restore...]!");
}

QString SdCardOperation::SlotText(int slot)
{
    if (slot < 1 || slot > SlotCount)
        return {};
    return QStringLiteral("%1").arg(slot, 2, 10, QLatin1Char('0'));
}

QString SdCardOperation::StateText(const std::optional<Status> &status)
{
    if (!status)
        return tr("Controller SD card: no answer to the status request.");
    if (status->idle())
        return tr("Controller SD card: idle.");
    if (status->backupRunning())
        return tr("Controller SD card: SD backup running, %1 done.").arg(status->count);
    if (status->restoreRunning())
        return tr("Controller SD card: SD restore running, %1 done.").arg(status->count);
    return tr("Controller SD card: unknown state \"%1\".").arg(status->payload);
}

QStringList SdCardOperation::Outcome::messages(Kind kind) const
{
    if (cancelled && ending == Ending::GaveUp)
        return {QStringLiteral("Error!\n\n") +
                tr("Cancelled: the utility stopped following the copy. The controller's copy "
                   "goes on by itself: leave it switched on. Its SD state is shown the next time "
                   "it is asked.\n\nLast known: %1")
                    .arg(StateText(last))};
    if (cancelled)
        return {QStringLiteral("Error!\n\n") +
                tr("Cancelled before the copy was started: the controller was not told to copy.")};
    switch (ending) {
    case Ending::Finished:
        return {QStringLiteral("OK!")};
    case Ending::BusyWithBackup:
    case Ending::BusyWithRestore:
        return {BusyMessage(kind, ending), QStringLiteral("Error!")};
    case Ending::NoAnswer:
        return {QStringLiteral("Error!\n\n") +
                tr("The controller did not tell whether its SD card is free.")};
    case Ending::StartFailed:
        return {QStringLiteral("Error!\n\n") + tr("The controller did not accept the start.")};
    case Ending::NotStarted:
        return {QStringLiteral("Error!\n\n") +
                tr("The controller accepted the start, but the copy never showed as running.")};
    case Ending::GaveUp:
        break;
    }
    return {QStringLiteral("Error!\n\n") +
            tr("The controller did not report the end of the copy in time, or stopped "
               "answering. It may still be working: leave it switched on. Its SD state is shown "
               "the next time it is asked.\n\nLast known: %1")
                .arg(StateText(last))};
}
