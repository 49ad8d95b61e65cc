#include "SerialSearch.h"

#include <QThread>

struct SerialSearch::Lane
{
    QThread thread;
    std::unique_ptr<SerialPortWalk> walk;
    bool done = false;
    std::optional<ControllerHit> hit;
    std::optional<ControllerHit> outsideRange;
};

SerialSearch::SerialSearch(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<ControllerHit>();
}

SerialSearch::~SerialSearch()
{
    for (const auto &lane : lanes_)
        lane->walk->requestStop();
    for (const auto &lane : lanes_) {
        lane->thread.quit();
        lane->thread.wait();
    }
}

void SerialSearch::start(const Request &request)
{
    if (running_)
        return;
    running_ = true;
    stopRequested_ = false;
    hit_.reset();
    outsideRange_.reset();
    lanes_.clear();
    const bool anyId = request.plan.firstId <= request.plan.lastId;
    if (!anyId || request.plan.lineSettings.isEmpty()) {
        QMetaObject::invokeMethod(this, &SerialSearch::finish, Qt::QueuedConnection);
        return;
    }
    for (const SerialTarget &target : request.ports) {
        auto lane = std::make_unique<Lane>();
        lane->walk = std::make_unique<SerialPortWalk>(target, request.plan, request.map);
        lane->walk->moveToThread(&lane->thread);
        const int index = static_cast<int>(lanes_.size());
        SerialPortWalk *walk = lane->walk.get();
        connect(&lane->thread, &QThread::started, walk, &SerialPortWalk::run);
        connect(walk, &SerialPortWalk::scanning, this, &SerialSearch::scanning);
        connect(walk, &SerialPortWalk::unavailable, this, &SerialSearch::unavailable);
        connect(walk, &SerialPortWalk::heardOutsideRange, this,
                [this, index](const ControllerHit &controller) {
                    lanes_.at(index)->outsideRange = controller;
                });
        connect(walk, &SerialPortWalk::finished, this,
                [this, index](bool found, const ControllerHit &hit) {
                    laneFinished(index, found, hit);
                });
        lane->thread.setObjectName(QStringLiteral("search ") + target.name);
        lanes_.push_back(std::move(lane));
    }
    if (lanes_.empty()) {
        QMetaObject::invokeMethod(this, &SerialSearch::finish, Qt::QueuedConnection);
        return;
    }
    for (const auto &lane : lanes_)
        lane->thread.start();
}

void SerialSearch::stop()
{
    if (!running_)
        return;
    stopRequested_ = true;
    for (const auto &lane : lanes_) {
        if (!lane->done)
            lane->walk->requestStop();
    }
}

void SerialSearch::laneFinished(int index, bool found, const ControllerHit &hit)
{
    Lane &lane = *lanes_.at(index);
    lane.done = true;
    if (found)
        lane.hit = hit;
    lane.thread.quit();
    if (settle())
        finish();
}

bool SerialSearch::settle()
{
    // The first port in order with a controller decides; the ports after it are not needed.
    int decided = -1;
    for (int i = 0; i < static_cast<int>(lanes_.size()); ++i) {
        if (lanes_[i]->hit) {
            decided = i;
            break;
        }
    }
    if (decided >= 0) {
        for (int i = decided + 1; i < static_cast<int>(lanes_.size()); ++i) {
            if (!lanes_[i]->done)
                lanes_[i]->walk->requestStop();
        }
    }
    // Finished once every port is closed again, so that nothing is left open afterwards.
    for (const auto &lane : lanes_) {
        if (!lane->done)
            return false;
    }
    if (stopRequested_)
        return true;
    if (decided >= 0) {
        hit_ = lanes_[decided]->hit;
        return true;
    }
    for (const auto &lane : lanes_) {
        if (lane->outsideRange) {
            outsideRange_ = lane->outsideRange;
            break;
        }
    }
    return true;
}

void SerialSearch::finish()
{
    for (const auto &lane : lanes_)
        lane->thread.wait();
    lanes_.clear();
    running_ = false;
    emit finished(hit_.has_value());
}
