#pragma once

#include "ComPortMap.h"
#include "ControllerHit.h"
#include "SerialTarget.h"

#include <QObject>
#include <QStringList>
#include <atomic>

class Comm;
class TraceSink;

// One serial port's share of a serial search. It runs on a thread of its own with a link of
// its own, so that the ports of a machine are searched at the same time. At each line
// setting it first asks the broadcast "0000AC": silence means no controller listens at that
// setting and its Device IDs are passed over; any answer (also a damaged one, when several
// controllers speak at once) walks the ID range, the ID the answer named first. Thorough
// walks every ID without asking. A controller is a "DB" reply naming KT480NT.
class SerialPortWalk : public QObject
{
    Q_OBJECT

public:
    struct Plan
    {
        // In the order they are tried.
        QStringList lineSettings;
        int firstId = 1;
        int lastId = 1;
        bool thorough = false;
        // Where the port's traffic is traced, labelled with the port's name; none: no trace.
        TraceSink *trace = nullptr;
    };

    SerialPortWalk(const SerialTarget &target, const Plan &plan, const ComPortMap &map);

    // Runs the walk on the thread the object lives on; ends with finished().
    void run();
    // May be called from any thread: the walk ends at once, also in the middle of an
    // exchange, and its port is closed.
    void requestStop();

signals:
    // The walk is at this setting and Device ID (0 while it asks the broadcast).
    void scanning(const QString &portName, const QString &lineSettings, int deviceId);
    // The port could not be opened at any line setting.
    void unavailable(const QString &portName);
    void finished(bool found, const ControllerHit &hit);

private:
    bool walk(ControllerHit &hit);
    bool open(Comm &comm, const QString &lineSettings) const;
    // Device IDs to try at one setting, or none when the broadcast met silence.
    QList<int> idsToTry(Comm &comm) const;
    bool tryDeviceId(Comm &comm, const QString &lineSettings, int id, ControllerHit &hit);

    const SerialTarget target_;
    const Plan plan_;
    const ComPortMap map_;
    std::atomic_bool stop_{false};
    // The link of the running walk; touched on the walk's thread only.
    Comm *comm_ = nullptr;
};
