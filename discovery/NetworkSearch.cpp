#include "NetworkSearch.h"

#include "DiscoveryLog.h"
#include "LoopbackOnly.h"
#include "NetProbe.h"

#include <QHostAddress>
#include <QRegularExpression>

namespace {

constexpr int MaxDeviceId = 9999;

// A dotted network "A.B.C" of three numbers from 0 to 255.
bool ValidNetwork(const QString &network)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch m = pattern.match(network);
    if (!m.hasMatch())
        return false;
    for (int i = 1; i <= 3; ++i) {
        if (m.captured(i).toInt() > 255)
            return false;
    }
    return true;
}

// Drops a probe that may still be inside one of its own signals.
void Discard(std::unique_ptr<NetProbe> &probe)
{
    if (!probe)
        return;
    probe->stop();
    probe->disconnect();
    probe.release()->deleteLater();
}

} // namespace

NetworkSearch::NetworkSearch(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<ControllerHit>();
}

NetworkSearch::~NetworkSearch()
{
    for (auto &probe : slots_) {
        if (probe)
            probe->stop();
    }
}

QStringList NetworkSearch::Addresses(const Request &request)
{
    QStringList addresses;
    for (int x = request.first; x <= request.last; ++x)
        addresses << request.network + QLatin1Char('.') + QString::number(x);
    return addresses;
}

QString NetworkSearch::Refusal(const Request &request)
{
    if (!ValidNetwork(request.network))
        return tr("%1 is not the first three parts of an IPv4 address").arg(request.network);
    if (request.first < 0 || request.last > Slots - 1 || request.first > request.last)
        return tr("the address range %1-%2 is not within 0-255 in ascending order")
            .arg(request.first)
            .arg(request.last);
    if (request.port == 0)
        return tr("port 0 cannot be searched");
    if (request.firstId < 0 || request.lastId > MaxDeviceId || request.firstId > request.lastId)
        return tr("the Device ID range %1-%2 is not within 0-9999 in ascending order")
            .arg(request.firstId)
            .arg(request.lastId);
    for (const QString &address : Addresses(request)) {
        if (!HostAllowed(address))
            return HostRefusedText(address);
    }
    return {};
}

bool NetworkSearch::start(const Request &request)
{
    if (running_)
        return false;
    const QString refusal = Refusal(request);
    if (!refusal.isEmpty()) {
        qCWarning(lcDiscovery).noquote() << refusal;
        return false;
    }
    running_ = true;
    stopRequested_ = false;
    finishQueued_ = false;
    all_ = request.all;
    hits_.clear();
    pending_ = 0;
    const NetProbe::Plan plan{request.port, request.firstId, request.lastId,
                              request.connectTimeoutMs, request.trace};
    // Every attempt at once: the range is settled in about one connect time-out.
    for (int x = request.first; x <= request.last; ++x) {
        const QHostAddress address(request.network + QLatin1Char('.') + QString::number(x));
        auto probe = std::make_unique<NetProbe>(address, plan);
        connect(probe.get(), &NetProbe::probing, this, &NetworkSearch::probing);
        connect(probe.get(), &NetProbe::finished, this,
                [this, x](bool found, const ControllerHit &hit) { probeFinished(x, found, hit); });
        slots_[x] = std::move(probe);
        ++pending_;
    }
    for (int x = request.first; x <= request.last; ++x)
        slots_[x]->start();
    return true;
}

void NetworkSearch::stop()
{
    if (!running_)
        return;
    stopRequested_ = true;
    stopProbes();
}

int NetworkSearch::connectingCount() const
{
    int count = 0;
    for (const auto &probe : slots_) {
        if (probe && probe->connecting())
            ++count;
    }
    return count;
}

void NetworkSearch::probeFinished(int slot, bool found, const ControllerHit &hit)
{
    Discard(slots_[slot]);
    --pending_;
    if (found && !stopRequested_) {
        hits_ << hit;
        emit controllerFound(hit);
        if (!all_) {
            stopProbes();
            return;
        }
    }
    if (pending_ == 0)
        queueFinish();
}

void NetworkSearch::stopProbes()
{
    for (auto &probe : slots_)
        Discard(probe);
    pending_ = 0;
    queueFinish();
}

void NetworkSearch::queueFinish()
{
    // The caller may be a socket's or a button's handler: the end is reported afterwards.
    if (finishQueued_)
        return;
    finishQueued_ = true;
    QMetaObject::invokeMethod(this, &NetworkSearch::finish, Qt::QueuedConnection);
}

void NetworkSearch::finish()
{
    if (!running_)
        return;
    running_ = false;
    finishQueued_ = false;
    if (stopRequested_)
        hits_.clear();
    emit finished(!hits_.isEmpty());
}
