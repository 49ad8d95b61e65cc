#pragma once

#include "ControllerData.h"

#include <QMutex>
#include <QMutexLocker>

// One simulated controller's data, shared between the simulator's thread and the tests.
// Every access holds the lock; the revision counts the changes made.
class ControllerState
{
public:
    explicit ControllerState(ControllerData initial = ControllerData::factory());

    ControllerData snapshot() const;
    void set(const ControllerData &data);
    quint64 revision() const;
    int deviceId() const;

    // Runs f(data) under the lock; f returns true when it changed the data.
    template <typename F> void modify(F &&f)
    {
        const QMutexLocker lock(&mutex_);
        if (f(data_))
            ++revision_;
    }

private:
    mutable QMutex mutex_;
    ControllerData data_;
    quint64 revision_ = 0;
};
