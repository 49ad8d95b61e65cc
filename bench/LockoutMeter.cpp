#include "LockoutMeter.h"

LockoutMeter::LockoutMeter(ControllerState &state, QMap<int, QByteArray> kept)
    : state_(state), kept_(std::move(kept))
{
    clock_.start();
    state_.setWatch([this](const ControllerData &data) { check(data); });
}

LockoutMeter::~LockoutMeter()
{
    state_.setWatch({});
}

void LockoutMeter::check(const ControllerData &data)
{
    int missing = 0;
    for (auto it = kept_.cbegin(); it != kept_.cend(); ++it) {
        if (data.cards.value(it.key()) != it.value())
            ++missing;
    }
    const QMutexLocker lock(&mutex_);
    mostMissing_ = std::max(mostMissing_, missing);
    const qint64 now = clock_.nsecsElapsed();
    if (missing > 0 && openedAtNs_ < 0) {
        openedAtNs_ = now;
    } else if (missing == 0 && openedAtNs_ >= 0) {
        closedNs_ += now - openedAtNs_;
        openedAtNs_ = -1;
    }
}

double LockoutMeter::windowSeconds() const
{
    const QMutexLocker lock(&mutex_);
    const qint64 open = openedAtNs_ < 0 ? 0 : clock_.nsecsElapsed() - openedAtNs_;
    return double(closedNs_ + open) / 1e9;
}

int LockoutMeter::mostMissing() const
{
    const QMutexLocker lock(&mutex_);
    return mostMissing_;
}
