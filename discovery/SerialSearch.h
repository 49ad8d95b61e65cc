#pragma once

#include "ComPortMap.h"
#include "ControllerHit.h"
#include "SerialPortWalk.h"
#include "SerialTarget.h"

#include <QList>
#include <QObject>
#include <memory>
#include <optional>
#include <vector>

// Finds a controller on serial ports: every port at once, each on a thread and a link of its
// own (see SerialPortWalk). The answer is the controller that trying the ports one after the
// other, in the given order, would have found first; a port later in that order stops as
// soon as an earlier one has found one. Widget-free: progress, the ports that cannot be
// opened and the end are signals; stop() ends the search within an exchange.
class SerialSearch : public QObject
{
    Q_OBJECT

public:
    struct Request
    {
        // In the order they are tried.
        QList<SerialTarget> ports;
        SerialPortWalk::Plan plan;
        // The COM numbers' device paths.
        ComPortMap map;
    };

    explicit SerialSearch(QObject *parent = nullptr);
    // Stops a running search and waits for its ports to be closed.
    ~SerialSearch() override;

    // Starts a search; finished() always follows, later, also for nothing to try.
    void start(const Request &request);
    void stop();
    bool running() const { return running_; }
    bool stopRequested() const { return stopRequested_; }
    std::optional<ControllerHit> hit() const { return hit_; }
    // When nothing was found: the controller that answered the broadcast with a Device ID
    // outside the range (the first port in order that heard one), so that it can be named.
    std::optional<ControllerHit> outsideRange() const { return outsideRange_; }

signals:
    void scanning(const QString &portName, const QString &lineSettings, int deviceId);
    void unavailable(const QString &portName);
    // Every port is closed again; hit() holds what was found.
    void finished(bool found);

private:
    struct Lane;

    void laneFinished(int index, bool found, const ControllerHit &hit);
    // Stops the ports the answer no longer depends on; true once the answer is known.
    bool settle();
    void finish();

    std::vector<std::unique_ptr<Lane>> lanes_;
    bool running_ = false;
    bool stopRequested_ = false;
    std::optional<ControllerHit> hit_;
    std::optional<ControllerHit> outsideRange_;
};
