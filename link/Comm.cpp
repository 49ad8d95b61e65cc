#include "Comm.h"

#include "Frame.h"
#include "LinkLog.h"
#include "LoopbackOnly.h"
#include "ReplySorter.h"
#include "SerialTransport.h"
#include "TcpTransport.h"
#include "UdpTransport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QScopeGuard>
#include <QTimer>
#include <algorithm>

QString PrintableText(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<quint8>(c);
        if (u < 0x20 || u == 0x7F)
            text += QStringLiteral("<%1>").arg(u, 2, 16, QLatin1Char('0')).toUpper();
        else
            text += QChar(u);
    }
    return text;
}

Comm::Comm(QObject *parent) : QObject(parent), comPortMap_(ComPortMap::fromEnvironment()) {}

Comm::~Comm()
{
    releaseTransport();
    ReaderClose();
}

void Comm::setDeviceConnected(bool connected)
{
    if (deviceConnected_ == connected)
        return;
    deviceConnected_ = connected;
    emit deviceConnectedChanged(connected);
}

Transport *Comm::activeTransport() const
{
    if (!transport_ || !transport_->isOpen())
        return nullptr;
    return transport_.get();
}

bool Comm::TcpConnected() const
{
    return commMode_ == Tcp && activeTransport() != nullptr;
}

bool Comm::TransportHeld() const
{
    return transport_ != nullptr;
}

void Comm::releaseTransport()
{
    if (!transport_)
        return;
    // Deleting a socket from inside one of its own signals is not allowed: the port is
    // released now and the object handed to the event loop.
    Transport *old = transport_.release();
    old->disconnect(this);
    old->shutdown();
    old->deleteLater();
    ++generation_;
    emit transportChanged();
}

void Comm::adopt(std::unique_ptr<Transport> transport, Mode mode)
{
    transport_ = std::move(transport);
    commMode_ = mode;
    commBusy_ = false;
    ++generation_;
}

void Comm::CommClose()
{
    setDeviceConnected(false);
    releaseTransport();
    commBusy_ = false;
}

bool Comm::CommOpenSerial(int portNumber, const QString &settingsText)
{
    const QString path = comPortMap_.devicePath(portNumber);
    if (path.isEmpty()) {
        CommClose();
        return false;
    }
    return CommOpenSerialDevice(path, settingsText);
}

bool Comm::CommOpenSerialDevice(const QString &devicePath, const QString &settingsText)
{
    CommClose();
    const auto settings = SerialSettings::parse(settingsText);
    if (!settings || devicePath.isEmpty())
        return false;
    auto serial = std::make_unique<SerialTransport>(devicePath, *settings);
    if (!serial->open())
        return false;
    adopt(std::move(serial), Serial);
    return true;
}

bool Comm::CommOpenTcp(const QString &host, quint16 port)
{
    CommClose();
    if (host.trimmed().isEmpty() || port == 0)
        return false;
    if (!HostAllowed(host)) {
        qCWarning(lcLink).noquote() << HostRefusedText(host);
        emit logLine(HostRefusedText(host));
        return false;
    }
    auto tcp = std::make_unique<TcpTransport>(host.trimmed(), port);
    TcpTransport *raw = tcp.get();
    connect(raw, &TcpTransport::connected, this, &Comm::tcpConnected);
    connect(raw, &TcpTransport::disconnected, this, &Comm::tcpDisconnected);
    connect(raw, &TcpTransport::errorOccurred, this, &Comm::tcpError);
    adopt(std::move(tcp), Tcp);
    raw->connectToHost();
    return true;
}

bool Comm::CommOpenUdp(const QString &host, quint16 destinationPort, quint16 localPort)
{
    CommClose();
    if (!HostAllowed(host)) {
        qCWarning(lcLink).noquote() << HostRefusedText(host);
        emit logLine(HostRefusedText(host));
        return false;
    }
    auto udp = std::make_unique<UdpTransport>(host.trimmed(), destinationPort, localPort);
    if (!udp->open())
        return false;
    adopt(std::move(udp), Udp);
    return true;
}

bool Comm::CommResume()
{
    if (commMode_ < Serial || commMode_ > Udp)
        return false;
    if (!transport_)
        return true;
    if (transport_->isOpen())
        return true;
    if (transport_->reopen())
        return true;
    releaseTransport();
    return false;
}

int Comm::drainReplies()
{
    Transport *transport = activeTransport();
    if (!transport)
        return 0;
    const QByteArray bytes = transport->takeReceived();
    if (bytes.isEmpty())
        return 0;
    emit traffic(Traffic::DroppedStale, bytes);
    const int frames = ReplySorter::CountFrames(bytes);
    copyWatch_.noteFramesOutside(frames);
    return frames;
}

int Comm::awaitResult(Transport *transport, void (Comm::*released)(), const QByteArray &frame,
                      Traffic sent, Traffic received,
                      const std::function<int(const QByteArray &)> &take)
{
    const QPointer<Transport> watched(transport);
    int result = NotSent;
    QEventLoop loop;
    QElapsedTimer clock;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);

    // A wake-up that comes after the result (the loop has not ended yet) changes nothing.
    auto consume = [&] {
        if (!watched || result != NotSent)
            return;
        const QByteArray bytes = watched->takeReceived();
        if (!bytes.isEmpty())
            emit traffic(received, bytes);
        result = take(bytes);
        if (result != NotSent)
            loop.quit();
    };
    auto checkDeadline = [&] {
        const qint64 elapsed = clock.elapsed();
        if (elapsed > ReplyTimeoutMs) {
            result = TimedOut;
            loop.quit();
        } else {
            deadline.start(static_cast<int>(ReplyTimeoutMs - elapsed) + 1);
        }
    };
    auto gone = [&] {
        result = TimedOut;
        loop.quit();
    };

    connect(transport, &Transport::readyRead, &loop, consume);
    connect(transport, &Transport::failed, &loop, gone);
    connect(this, released, &loop, gone);
    connect(&deadline, &QTimer::timeout, &loop, checkDeadline);

    clock.start();
    emit traffic(sent, frame);
    transport->send(frame);
    consume();
    if (result == NotSent) {
        deadline.start(ReplyTimeoutMs + 1);
        loop.exec();
    }
    // Nothing can be sent again on a transport that went away during the wait.
    return result == NotSent ? TimedOut : result;
}

int Comm::waitForReply(Transport *transport, ReplySorter &sorter)
{
    const quint64 generation = generation_;
    return awaitResult(transport, &Comm::transportChanged, BuildRequestFrame(sorter.command()),
                       Traffic::Sent, Traffic::Received, [&](const QByteArray &bytes) {
                           if (generation != generation_)
                               return int(NotSent);
                           return sorter.feed(bytes);
                       });
}

int Comm::CommExchange(const QString &commandText, int echoLength)
{
    if (commBusy_)
        return NotSent;
    commBusy_ = true;
    // Exchanges nest strictly (a nested one ends before the outer one resumes), so the
    // guard can always be released here.
    const auto release = qScopeGuard([this] { commBusy_ = false; });
    replyText_.clear();
    replyLength_ = 0;
    framesNotTaken_ = 0;
    replyMayBeCopy_ = false;

    Transport *transport = activeTransport();
    if (!transport) {
        emitLog(NotSent, QString(), QString(), 0);
        return NotSent;
    }
    const QByteArray command = commandText.toLatin1();
    const QString logText = QLatin1Char('[') + PrintableText(command) + QLatin1String("] ");
    const bool latin1 = std::all_of(commandText.cbegin(), commandText.cend(),
                                    [](QChar c) { return c.unicode() <= 0xFF; });
    if (!latin1 || !IsValidCommandText(command)) {
        emitLog(NotSent, logText + QLatin1String("rejected: not a valid command text"), QString(),
                0);
        return NotSent;
    }
    int result = TimedOut;
    try {
        // Bytes that came after an earlier exchange ended are dropped, traced and counted.
        const int staleFrames = drainReplies();
        transport->discardPending();
        ReplySorter sorter(command, echoLength);
        result = waitForReply(transport, sorter);
        const int besides = sorter.framesNotTaken(result);
        copyWatch_.noteFramesOutside(besides);
        framesNotTaken_ = staleFrames + besides;
        if (result == Accepted || IsControllerError(result)) {
            replyText_ = QString::fromLatin1(sorter.payload());
            replyLength_ = static_cast<int>(sorter.payload().size());
            replyMayBeCopy_ = copyWatch_.take(sorter.takenBody());
        }
    } catch (const std::exception &e) {
        qCWarning(lcLink) << "exchange" << commandText << "failed:" << e.what();
        result = TimedOut;
    } catch (...) {
        qCWarning(lcLink) << "exchange" << commandText << "failed with an unknown error";
        result = TimedOut;
    }
    if (result != Accepted && !IsControllerError(result)) {
        replyText_.clear();
        replyLength_ = 0;
    }
    emitLog(result, logText, PrintableText(replyText_.toLatin1()), replyLength_);
    return result;
}

bool Comm::ReaderOpen(int portNumber, const QString &settingsText)
{
    if (reader_)
        return true;
    return ReaderOpenDevice(comPortMap_.devicePath(portNumber), settingsText);
}

bool Comm::ReaderOpenDevice(const QString &devicePath, const QString &settingsText)
{
    if (reader_)
        return true;
    const auto settings = SerialSettings::parse(settingsText);
    if (!settings || devicePath.isEmpty())
        return false;
    auto port = std::make_unique<SerialTransport>(devicePath, *settings);
    if (!port->open())
        return false;
    reader_ = std::move(port);
    return true;
}

void Comm::ReaderClose()
{
    if (!reader_)
        return;
    // A reader exchange may be waiting on the port (Stop pressed during a poll): the port
    // closes now, the object goes once that wait has let go of it.
    SerialTransport *old = reader_.release();
    old->disconnect(this);
    old->shutdown();
    old->setParent(this);
    old->deleteLater();
    emit readerReleased();
}

int Comm::ReaderExchange(const QString &commandText, int echoLength)
{
    // A poll that comes while one waits (a timer tick during the wait) is not sent.
    if (readerBusy_)
        return NotSent;
    readerReplyText_.clear();
    readerReplyLength_ = 0;
    readerAssembler_.reset();
    // A reader whose device went away was closed; it is opened again once it is back.
    if (!reader_ || !reader_->reopen()) {
        emitLog(NotSent, QString(), QString(), 0);
        return NotSent;
    }
    readerBusy_ = true;
    const auto release = qScopeGuard([this] { readerBusy_ = false; });
    const QByteArray command = commandText.toLatin1();
    const QString logText = QLatin1Char('[') + PrintableText(command) + QLatin1String("] ");
    int result = TimedOut;
    try {
        reader_->discardPending();
        result = waitForReaderReply(command, echoLength);
    } catch (const std::exception &e) {
        qCWarning(lcLink) << "reader exchange" << commandText << "failed:" << e.what();
        result = TimedOut;
    } catch (...) {
        qCWarning(lcLink) << "reader exchange" << commandText << "failed with an unknown error";
        result = TimedOut;
    }
    if (result != Accepted) {
        readerReplyText_.clear();
        readerReplyLength_ = 0;
    }
    emitLog(result, logText, PrintableText(readerReplyText_.toLatin1()), readerReplyLength_);
    return result;
}

int Comm::waitForReaderReply(const QByteArray &command, int echoLength)
{
    return awaitResult(reader_.get(), &Comm::readerReleased, BuildReaderFrame(command),
                       Traffic::ReaderSent, Traffic::ReaderReceived, [&](const QByteArray &bytes) {
                           int result = NotSent;
                           for (const char b : bytes) {
                               if (!readerAssembler_.feed(b))
                                   continue;
                               const ReaderCheck check =
                                   CheckReaderFrame(readerAssembler_.frame(), echoLength);
                               readerAssembler_.reset();
                               if (!check.xorOk)
                                   return int(CrcMismatch);
                               readerReplyText_ = QString::fromLatin1(check.payload);
                               readerReplyLength_ = static_cast<int>(check.payload.size());
                               result = Accepted;
                           }
                           return result;
                       });
}

void Comm::emitLog(int result, const QString &logText, const QString &reply, int length)
{
    emit logLine(QStringLiteral("%1").arg(result, 2, 10, QLatin1Char('0')) + logText + reply +
                 QLatin1Char('(') + QString::number(length) + QLatin1Char(')'));
}
