#include "SerialPortWalk.h"

#include "Comm.h"
#include "DeviceIdText.h"
#include "DiscoveryLog.h"
#include "ExchangePolicy.h"
#include "TraceSink.h"

#include <QScopeGuard>

namespace {

const QString Broadcast = QStringLiteral("0000AC");
// Silence is asked once more before a setting is passed over: one reply lost on the line
// must not hide a controller.
constexpr int BroadcastAsks = 2;
constexpr int SerialVersionAttempts = 3;

} // namespace

SerialPortWalk::SerialPortWalk(const SerialTarget &target, const Plan &plan, const ComPortMap &map)
    : target_(target), plan_(plan), map_(map)
{
}

void SerialPortWalk::requestStop()
{
    stop_ = true;
    // Closing the link ends a waiting exchange at once; it must happen on the walk's thread.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (comm_)
                comm_->CommClose();
        },
        Qt::QueuedConnection);
}

bool SerialPortWalk::open(Comm &comm, const QString &lineSettings) const
{
    if (target_.number > 0)
        return comm.CommOpenSerial(target_.number, lineSettings);
    return comm.CommOpenSerialDevice(target_.devicePath, lineSettings);
}

void SerialPortWalk::run()
{
    ControllerHit hit;
    bool found = false;
    try {
        found = walk(hit);
    } catch (const std::exception &e) {
        qCWarning(lcDiscovery).noquote() << "search of" << target_.name << "failed:" << e.what();
    }
    emit finished(found, hit);
}

bool SerialPortWalk::walk(ControllerHit &hit)
{
    Comm comm;
    comm.setComPortMap(map_);
    if (plan_.trace)
        plan_.trace->attach(comm, target_.name);
    comm_ = &comm;
    // Closed on every way out: a port left open would lock it for every other program.
    const auto release = qScopeGuard([this, &comm] {
        comm.CommClose();
        comm_ = nullptr;
    });

    bool opened = false;
    for (const QString &lineSettings : plan_.lineSettings) {
        if (stop_)
            return false;
        emit scanning(target_.name, lineSettings, 0);
        if (!open(comm, lineSettings)) {
            qCDebug(lcDiscovery).noquote()
                << "cannot open" << target_.name << "with" << lineSettings;
            continue;
        }
        opened = true;
        QList<int> ids;
        for (int id = plan_.firstId; id <= plan_.lastId; ++id)
            ids << id;
        BroadcastAnswer broadcast;
        if (!plan_.thorough) {
            broadcast = askBroadcast(comm);
            if (!broadcast.heard) {
                comm.CommClose();
                continue;
            }
            if (ids.removeOne(broadcast.namedId))
                ids.prepend(broadcast.namedId);
        }
        for (const int id : ids) {
            if (stop_)
                return false;
            emit scanning(target_.name, lineSettings, id);
            if (tryDeviceId(comm, lineSettings, id, hit))
                return true;
        }
        if (broadcast.namedId > 0 && !inRange(broadcast.namedId) && !outsideReported_ && !stop_)
            reportOutsideRange(comm, lineSettings, broadcast);
        comm.CommClose();
    }
    if (!opened && !stop_) {
        qCDebug(lcDiscovery).noquote() << target_.name << "could not be opened";
        emit unavailable(target_.name);
    }
    return false;
}

SerialPortWalk::BroadcastAnswer SerialPortWalk::askBroadcast(Comm &comm) const
{
    BroadcastAnswer answer;
    bool asked = false;
    // Bytes count from the first broadcast on, also those that come after an ask has given up
    // (dropped as stale before the next ask is sent): someone is there either way.
    const QMetaObject::Connection watch = QObject::connect(
        &comm, &Comm::traffic, [&](Comm::Traffic traffic, const QByteArray &bytes) {
            if (traffic == Comm::Traffic::Sent)
                asked = true;
            else if (asked && !bytes.isEmpty() &&
                     (traffic == Comm::Traffic::Received || traffic == Comm::Traffic::DroppedStale))
                answer.heard = true;
        });
    const auto unwatch = qScopeGuard([&watch] { QObject::disconnect(watch); });
    ExchangePolicy policy(comm, {.attempts = 1});
    for (int ask = 0; ask < BroadcastAsks && !answer.heard && !stop_; ++ask) {
        const ExchangeReply reply = policy.sendText(Broadcast, 0);
        answer.heard = answer.heard || !reply.silent();
        bool numeric = false;
        const int named = reply.payload.left(DeviceIdDigits).toInt(&numeric);
        if (reply.accepted() && numeric) {
            answer.namedId = named;
            answer.serialNumber = reply.payload.mid(DeviceIdDigits + 2).trimmed();
        }
    }
    return answer;
}

void SerialPortWalk::reportOutsideRange(Comm &comm, const QString &lineSettings,
                                        const BroadcastAnswer &broadcast)
{
    outsideReported_ = true;
    emit scanning(target_.name, lineSettings, broadcast.namedId);
    ControllerHit controller;
    if (!tryDeviceId(comm, lineSettings, broadcast.namedId, controller)) {
        controller = place(lineSettings);
        controller.deviceId = DeviceIdText(broadcast.namedId);
        controller.serialNumber = broadcast.serialNumber;
    }
    qCInfo(lcDiscovery).noquote() << target_.name << lineSettings << "Device ID"
                                  << controller.deviceId << "answers outside the range";
    emit heardOutsideRange(controller);
}

ControllerHit SerialPortWalk::place(const QString &lineSettings) const
{
    ControllerHit hit;
    hit.transport = ControllerHit::Transport::Serial;
    hit.portName = target_.name;
    hit.portNumber = target_.number;
    hit.lineSettings = lineSettings;
    return hit;
}

bool SerialPortWalk::tryDeviceId(Comm &comm, const QString &lineSettings, int id,
                                 ControllerHit &hit)
{
    comm.setDeviceIDText(DeviceIdText(id));
    ExchangePolicy policy(comm, {.attempts = SerialVersionAttempts,
                                 .minimumPayload = ExchangePolicy::IdentityMinimumPayload});
    const ExchangeReply version = policy.send(QStringLiteral("DB"));
    if (!version.accepted() || !version.payload.contains(QLatin1String("KT480NT")))
        return false;
    hit = place(lineSettings);
    hit.deviceId = comm.DeviceIDText();
    hit.version = version.payload;
    // The search itself needs no serial number; a script that lists controllers does.
    const ExchangeReply serial = policy.send(QStringLiteral("AS"));
    if (serial.accepted())
        hit.serialNumber = serial.payload;
    return true;
}
