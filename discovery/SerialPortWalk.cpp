#include "SerialPortWalk.h"

#include "Comm.h"
#include "DiscoveryLog.h"
#include "ExchangePolicy.h"
#include "TraceSink.h"

#include <QScopeGuard>

namespace {

const QString Broadcast = QStringLiteral("0000AC");
constexpr int VersionAttempts = 3;

QString IdText(int id)
{
    return QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0'));
}

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
        for (const int id : idsToTry(comm)) {
            if (stop_)
                return false;
            emit scanning(target_.name, lineSettings, id);
            if (tryDeviceId(comm, lineSettings, id, hit))
                return true;
        }
        comm.CommClose();
    }
    if (!opened && !stop_) {
        qCDebug(lcDiscovery).noquote() << target_.name << "could not be opened";
        emit unavailable(target_.name);
    }
    return false;
}

QList<int> SerialPortWalk::idsToTry(Comm &comm) const
{
    QList<int> ids;
    for (int id = plan_.firstId; id <= plan_.lastId; ++id)
        ids << id;
    if (plan_.thorough || ids.isEmpty())
        return ids;
    ExchangePolicy broadcast(comm, {.attempts = 1});
    const ExchangeReply reply = broadcast.sendText(Broadcast, 0);
    if (reply.result == Comm::TimedOut)
        return {};
    if (reply.accepted()) {
        bool numeric = false;
        const int named = reply.payload.left(4).toInt(&numeric);
        if (numeric && ids.removeOne(named))
            ids.prepend(named);
    }
    return ids;
}

bool SerialPortWalk::tryDeviceId(Comm &comm, const QString &lineSettings, int id,
                                 ControllerHit &hit)
{
    comm.setDeviceIDText(IdText(id));
    ExchangePolicy policy(comm, {.attempts = VersionAttempts,
                                 .minimumPayload = ExchangePolicy::IdentityMinimumPayload});
    const ExchangeReply version = policy.send(QStringLiteral("DB"));
    if (!version.accepted() || !version.payload.contains(QLatin1String("KT480NT")))
        return false;
    hit.transport = ControllerHit::Transport::Serial;
    hit.portName = target_.name;
    hit.portNumber = target_.number;
    hit.lineSettings = lineSettings;
    hit.deviceId = comm.DeviceIDText();
    hit.version = version.payload;
    // The search itself needs no serial number; a script that lists controllers does.
    const ExchangeReply serial = policy.send(QStringLiteral("AS"));
    if (serial.accepted())
        hit.serialNumber = serial.payload;
    return true;
}
