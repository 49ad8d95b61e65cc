#include "NetProbe.h"

#include "DeviceIdText.h"
#include "DiscoveryLog.h"
#include "Frame.h"
#include "LoopbackOnly.h"
#include "TraceSink.h"

namespace {

constexpr int EchoLength = 6;
constexpr int Passes = 2;
constexpr int NetVersionAttempts = 2;
constexpr int MinimumPayload = 8;
constexpr int ReadChunk = 1024;

} // namespace

NetProbe::NetProbe(const QHostAddress &address, const Plan &plan, QObject *parent)
    : QObject(parent), address_(address), plan_(plan)
{
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (step_ == Step::Connecting)
            failed();
        else
            answered({});
    });
    connect(&socket_, &QTcpSocket::connected, this, &NetProbe::connected);
    connect(&socket_, &QTcpSocket::readyRead, this, &NetProbe::received);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &NetProbe::failed);
    connect(&socket_, &QTcpSocket::disconnected, this, &NetProbe::failed);
}

void NetProbe::start()
{
    if (step_ != Step::Idle)
        return;
    // Nothing leaves the machine for an address the loopback switch refuses.
    if (!HostAllowed(address_.toString())) {
        qCWarning(lcDiscovery).noquote() << HostRefusedText(address_.toString());
        step_ = Step::Connecting;
        QMetaObject::invokeMethod(this, &NetProbe::failed, Qt::QueuedConnection);
        return;
    }
    step_ = Step::Connecting;
    socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    timer_.start(plan_.connectTimeoutMs);
    socket_.connectToHost(address_, plan_.port);
}

void NetProbe::stop()
{
    step_ = Step::Done;
    timer_.stop();
    socket_.abort();
}

void NetProbe::connected()
{
    if (step_ != Step::Connecting)
        return;
    timer_.stop();
    if (plan_.trace)
        plan_.trace->note(address(), QStringLiteral("link"), QStringLiteral("TCP connected"));
    pass_ = 0;
    id_ = plan_.firstId;
    if (id_ > plan_.lastId) {
        conclude(false);
        return;
    }
    askSerialNumber();
}

void NetProbe::failed()
{
    if (step_ == Step::Done || step_ == Step::Idle)
        return;
    if (plan_.trace)
        plan_.trace->note(address(), QStringLiteral("link"),
                          QStringLiteral("TCP failed: ") + socket_.errorString());
    conclude(false);
}

void NetProbe::askSerialNumber()
{
    step_ = Step::SerialNumber;
    emit probing(address(), id_);
    send(QStringLiteral("AS"));
}

void NetProbe::askVersion()
{
    step_ = Step::Version;
    ++versionAttempts_;
    send(QStringLiteral("DB"));
}

void NetProbe::send(const QString &code)
{
    command_ = (DeviceIdText(id_) + code).toLatin1();
    assembler_.reset();
    // A late reply to an earlier command must not be taken for this one's.
    const QByteArray stale = socket_.read(ReadChunk);
    const QByteArray frame = BuildRequestFrame(command_);
    if (plan_.trace) {
        if (!stale.isEmpty())
            plan_.trace->record(address(), QStringLiteral("rx-stale"), stale);
        plan_.trace->record(address(), QStringLiteral("tx"), frame);
    }
    socket_.write(frame);
    timer_.start(ReplyTimeoutMs);
}

void NetProbe::received()
{
    if (step_ != Step::SerialNumber && step_ != Step::Version)
        return;
    const QByteArray bytes = socket_.readAll();
    if (plan_.trace && !bytes.isEmpty())
        plan_.trace->record(address(), QStringLiteral("rx"), bytes);
    for (const char b : bytes) {
        if (!assembler_.feed(b))
            continue;
        const ReplyCheck check = CheckReplyFrame(assembler_.frame(), EchoLength);
        assembler_.reset();
        if (!check.crcOk) {
            answered({});
            return;
        }
        // A reply for another Device ID or command is a late one: keep waiting.
        if (check.body.left(EchoLength) != command_.left(EchoLength))
            continue;
        answered(check.payload);
        return;
    }
}

void NetProbe::answered(const QByteArray &payload)
{
    timer_.stop();
    const bool enough = payload.size() >= MinimumPayload;
    if (step_ == Step::SerialNumber) {
        if (enough) {
            hit_.serialNumber = QString::fromLatin1(payload);
            versionAttempts_ = 0;
            askVersion();
            return;
        }
        if (++id_ > plan_.lastId) {
            id_ = plan_.firstId;
            if (++pass_ >= Passes) {
                conclude(false);
                return;
            }
        }
        askSerialNumber();
        return;
    }
    if (step_ != Step::Version)
        return;
    if (enough) {
        hit_.version = QString::fromLatin1(payload);
        conclude(true);
        return;
    }
    if (versionAttempts_ >= NetVersionAttempts) {
        conclude(false);
        return;
    }
    askVersion();
}

void NetProbe::conclude(bool found)
{
    step_ = Step::Done;
    timer_.stop();
    socket_.abort();
    if (found) {
        hit_.transport = ControllerHit::Transport::Tcp;
        hit_.address = address();
        hit_.portNumber = plan_.port;
        hit_.deviceId = DeviceIdText(id_);
    }
    emit finished(found, hit_);
}
