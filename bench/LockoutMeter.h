#pragma once

#include "ControllerState.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QMap>
#include <QMutex>

// How long a controller refuses cards it should admit throughout, measured on the
// simulator's side: the time during which at least one of the kept cards (a number with the
// card it holds) is not in the controller's store as it was. Watches the state from its
// construction to its destruction.
class LockoutMeter
{
public:
    LockoutMeter(ControllerState &state, QMap<int, QByteArray> kept);
    ~LockoutMeter();
    LockoutMeter(const LockoutMeter &) = delete;
    LockoutMeter &operator=(const LockoutMeter &) = delete;

    // Seconds during which one or more kept cards were missing; a window still open counts.
    double windowSeconds() const;
    // The most kept cards missing at one moment.
    int mostMissing() const;

private:
    // On the simulator's thread, under the state's lock, after each change.
    void check(const ControllerData &data);

    ControllerState &state_;
    const QMap<int, QByteArray> kept_;
    mutable QMutex mutex_;
    QElapsedTimer clock_;
    qint64 closedNs_ = 0;    // the windows closed so far
    qint64 openedAtNs_ = -1; // the window open now, -1 when none is
    int mostMissing_ = 0;
};
