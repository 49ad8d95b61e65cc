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
// setting it first asks the broadcast "0000AC": any byte that comes back (a reply, a refusal,
// or the garble of several controllers on one bus answering at once) means someone listens,
// and the ID range is walked, the ID the answer named first; silence is asked once more (a
// reply lost on the line) before the setting's Device IDs are passed over. Thorough walks
// every ID without asking. A controller is a "DB" reply naming KT480NT. A controller whose
// broadcast answer names a Device ID outside the range is reported (heardOutsideRange) when
// no ID of the range answers at that setting.
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
    // A controller answered the broadcast with a Device ID outside the range, and no ID of the
    // range answered at that setting; once per walk, before finished().
    void heardOutsideRange(const ControllerHit &controller);
    void finished(bool found, const ControllerHit &hit);

private:
    // What the broadcast brought at one setting.
    struct BroadcastAnswer
    {
        bool heard = false;
        // The Device ID an accepted answer named, and the serial number after it.
        int namedId = 0;
        QString serialNumber;
    };

    bool walk(ControllerHit &hit);
    bool open(Comm &comm, const QString &lineSettings) const;
    BroadcastAnswer askBroadcast(Comm &comm) const;
    bool inRange(int id) const { return id >= plan_.firstId && id <= plan_.lastId; }
    bool tryDeviceId(Comm &comm, const QString &lineSettings, int id, ControllerHit &hit);
    // This port at this setting, without a controller yet.
    ControllerHit place(const QString &lineSettings) const;
    // Names the controller the broadcast found outside the range: its version when it answers
    // "DB" at its ID, else what the broadcast said.
    void reportOutsideRange(Comm &comm, const QString &lineSettings,
                            const BroadcastAnswer &broadcast);

    const SerialTarget target_;
    const Plan plan_;
    const ComPortMap map_;
    std::atomic_bool stop_{false};
    bool outsideReported_ = false;
    // The link of the running walk; touched on the walk's thread only.
    Comm *comm_ = nullptr;
};
