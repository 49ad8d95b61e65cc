#include "ControllerState.h"

ControllerState::ControllerState(ControllerData initial) : data_(std::move(initial)) {}

ControllerData ControllerState::snapshot() const
{
    const QMutexLocker lock(&mutex_);
    return data_;
}

void ControllerState::set(const ControllerData &data)
{
    const QMutexLocker lock(&mutex_);
    data_ = data;
    changed();
}

void ControllerState::setWatch(Watch watch)
{
    const QMutexLocker lock(&mutex_);
    watch_ = std::move(watch);
}

void ControllerState::changed()
{
    ++revision_;
    if (watch_)
        watch_(data_);
}

int ControllerState::deviceId() const
{
    const QMutexLocker lock(&mutex_);
    return data_.deviceId;
}

quint64 ControllerState::revision() const
{
    const QMutexLocker lock(&mutex_);
    return revision_;
}
