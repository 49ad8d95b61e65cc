#include "WirePacer.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr qint64 NsPerSecond = 1'000'000'000;
constexpr qint64 NsPerMs = 1'000'000;

} // namespace

WirePacer::WirePacer(QObject *parent) : QObject(parent)
{
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &WirePacer::deliverDue);
}

std::optional<int> WirePacer::BitsPerByte(const QString &format)
{
    static const QRegularExpression pattern(QStringLiteral("^([5-8])([NEO])([12])$"),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = pattern.match(format);
    if (!m.hasMatch())
        return std::nullopt;
    const bool parity = m.captured(2).toUpper() != QLatin1String("N");
    return 1 + m.captured(1).toInt() + (parity ? 1 : 0) + m.captured(3).toInt();
}

qint64 WirePacer::now() const
{
    return deliveringAt_.value_or(clock_.nsecsElapsed());
}

void WirePacer::carry(const QByteArray &bytes, const Delivery &delivery)
{
    // Unpaced bytes pass at once, unless paced ones are still on the wire ahead of them.
    if (!paced() && pending_.empty()) {
        delivery(bytes);
        return;
    }
    const qint64 wireNs = paced() ? bytes.size() * bitsPerByte_ * NsPerSecond / baudRate_ : 0;
    freeAt_ = std::max(now(), freeAt_) + wireNs;
    pending_.emplace(freeAt_, Pending{bytes, delivery});
    arm();
}

void WirePacer::deliverDue()
{
    while (!pending_.empty() && pending_.begin()->first <= clock_.nsecsElapsed()) {
        const auto next = pending_.begin();
        const qint64 due = next->first;
        const Pending pending = next->second;
        pending_.erase(next);
        deliveringAt_ = due;
        pending.delivery(pending.bytes);
        deliveringAt_.reset();
    }
    arm();
}

void WirePacer::arm()
{
    if (pending_.empty()) {
        timer_.stop();
        return;
    }
    // Rounded up: a byte is never handed on before it has crossed the wire.
    const qint64 waitNs = std::max<qint64>(0, pending_.begin()->first - clock_.nsecsElapsed());
    timer_.start(static_cast<int>((waitNs + NsPerMs - 1) / NsPerMs));
}
