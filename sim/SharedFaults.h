#pragma once

#include "FaultSettings.h"

#include <QMutex>
#include <QMutexLocker>

// Fault settings that tests change while the simulator's thread reads them.
class SharedFaults
{
public:
    FaultSettings get() const
    {
        const QMutexLocker lock(&mutex_);
        return faults_;
    }
    void set(const FaultSettings &faults)
    {
        const QMutexLocker lock(&mutex_);
        faults_ = faults;
    }

private:
    mutable QMutex mutex_;
    FaultSettings faults_;
};
