#pragma once

#include "FleetJob.h"
#include "FleetSite.h"

#include <QList>
#include <functional>

// Runs the controllers of a site at the same time, at most `jobs` at once. The link waits on
// an event loop of its own inside every exchange, so links cannot share one loop without
// waiting for each other: each running job has a worker thread, and on it its own event loop,
// link, settings, progress state and flags. Controllers that share a line (an RS-485 port, a
// TCP address and port, a local UDP port) form one lane and are worked one after the other on
// one worker.
class FleetRunner
{
public:
    using Job = std::function<FleetResult(const FleetController &)>;
    // Called on the thread that called run(), as each controller ends.
    using Finished = std::function<void(const FleetResult &)>;

    // The results in site order, once every controller has ended.
    static QList<FleetResult> run(const QList<FleetController> &controllers, int jobs,
                                  const Job &job, const Finished &finished = {});

    // The lanes: indexes into the controllers, each lane in site order, lanes by first row.
    static QList<QList<int>> lanes(const QList<FleetController> &controllers);
};
