#pragma once

#include "ControllerData.h"

#include <QMutex>
#include <QMutexLocker>
#include <functional>

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

    // Called with the data after every change, under the lock and on the thread that made
    // the change: a watcher sees each state the controller passes through when it does (how
    // long a card was missing, measured where it was missing). It must not call back here.
    using Watch = std::function<void(const ControllerData &)>;
    void setWatch(Watch watch);

    // Runs f(data) under the lock; f returns true when it changed the data.
    template <typename F> void modify(F &&f)
    {
        const QMutexLocker lock(&mutex_);
        if (f(data_))
            changed();
    }

private:
    void changed();

    mutable QMutex mutex_;
    ControllerData data_;
    quint64 revision_ = 0;
    Watch watch_;
};
