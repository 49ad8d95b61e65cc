#pragma once

#include "ComPortMap.h"
#include "ReaderAssembler.h"
#include "ReplyCopyWatch.h"
#include "ReplyTally.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class ReplySorter;
class Transport;
class SerialTransport;
class TcpTransport;
class UdpTransport;

// The device link: the one open transport to a controller, the request/reply exchange
// with its result codes, and the separate desk-reader port. One instance per application;
// every window reaches the controller through it.
class Comm : public QObject
{
    Q_OBJECT

public:
    enum Mode
    {
        Serial = 0,
        Tcp = 1,
        Udp = 2
    };
    enum Result
    {
        NotSent = 0,
        Accepted = 1,
        TimedOut = 2,
        CrcMismatch = 11,
        // A reply that repeats only the start of the command's echo: it stops short.
        Incomplete = 12,
        // Two different replies to one request, or a reply broken off by another one: which
        // of them answers the request cannot be told.
        Ambiguous = 13,
        ControllerErrorA = 21, // 21..27 for the error letters A..G
        ControllerErrorG = 27,
    };
    // The controller answered with an error reply: it is there and said no to the command.
    static constexpr bool IsControllerError(int result)
    {
        return result >= ControllerErrorA && result <= ControllerErrorG;
    }
    static constexpr int ReplyTimeoutMs = 500;
    // How long after its request a late reply may still come: twice the time-out.
    static constexpr int LateReplyMs = 2 * ReplyTimeoutMs;
    // What a traced batch of bytes was.
    enum class Traffic
    {
        Sent,         // a request frame written to the transport
        Received,     // bytes taken from the transport while waiting for a reply
        DroppedStale, // bytes that arrived before the request and were dropped
        ReaderSent,   // the same for the desk reader
        ReaderReceived,
    };
    Q_ENUM(Traffic)

    explicit Comm(QObject *parent = nullptr);
    ~Comm() override;

    // Link state.
    int CommMode() const { return commMode_; }
    bool CommBusy() const { return commBusy_; }
    QString ReplyText() const { return replyText_; }
    int ReplyLength() const { return replyLength_; }
    QString DeviceIDText() const { return deviceIdText_; }
    void setDeviceIDText(const QString &text) { deviceIdText_ = text; }
    bool DeviceConnected() const { return deviceConnected_; }
    void setDeviceConnected(bool connected);

    // Replies no command was waiting for, counted since the link was made.
    const ReplyTally &replyTally() const { return tally_; }
    // The retry policy counts replies that no lost reply of the command explains.
    void noteStrayReplies(quint64 count) { tally_.strays += count; }
    // Reply frames the last exchange saw and did not take: frames dropped before its request,
    // and frames besides its reply (copies, replies to other commands, one that broke off).
    int framesNotTaken() const { return framesNotTaken_; }
    // Takes what has arrived since the last exchange and counts the reply frames in it.
    int drainReplies();
    // The reply the last exchange took is byte for byte one taken shortly before, on a line
    // that has delivered frames outside their exchange: it may be a copy of that one
    // (ReplyCopyWatch).
    bool replyMayBeCopy() const { return replyMayBeCopy_; }
    // The link has delivered reply frames that no exchange took.
    bool deliversStrayFrames() const { return copyWatch_.deliversStrayFrames(); }

    // The reply state of the desk reader, kept apart from the controller's.
    QString ReaderReplyText() const { return readerReplyText_; }
    int ReaderReplyLength() const { return readerReplyLength_; }

    void setComPortMap(const ComPortMap &map) { comPortMap_ = map; }
    const ComPortMap &comPortMap() const { return comPortMap_; }

    bool CommOpenSerial(int portNumber, const QString &settingsText);
    bool CommOpenSerialDevice(const QString &devicePath, const QString &settingsText);
    bool CommOpenTcp(const QString &host, quint16 port);
    bool CommOpenUdp(const QString &host, quint16 destinationPort, quint16 localPort);
    void CommClose();
    bool CommResume();
    // True while a TCP transport is held and connected.
    bool TcpConnected() const;
    bool TransportHeld() const;
    // A transport is held and can carry an exchange now (for TCP: connected).
    bool TransportOpen() const { return activeTransport() != nullptr; }

    // Sends one command text and waits for its reply; returns a Result code.
    int CommExchange(const QString &commandText, int echoLength);

    bool ReaderOpen(int portNumber, const QString &settingsText);
    bool ReaderOpenDevice(const QString &devicePath, const QString &settingsText);
    void ReaderClose();
    bool ReaderHeld() const { return reader_ != nullptr; }
    // Returns 0 (no reader port, or another reader exchange is waiting), 1, 2 (time-out) or
    // 11 (checksum mismatch). The wait runs the event loop, as CommExchange's does.
    int ReaderExchange(const QString &commandText, int echoLength);
    bool ReaderBusy() const { return readerBusy_; }

signals:
    // One diagnostic line per exchange, e.g. "01[0001AS] 12345678(8)".
    void logLine(const QString &line);
    // Every byte that goes over the line, for a trace (TraceSink).
    void traffic(Comm::Traffic traffic, const QByteArray &bytes);
    void deviceConnectedChanged(bool connected);
    void tcpConnected();
    void tcpDisconnected();
    void tcpError(const QString &message);
    // The held transport was closed or replaced; a waiting exchange gives up.
    void transportChanged();
    // The reader port was closed; a waiting reader exchange gives up.
    void readerReleased();

private:
    Transport *activeTransport() const;
    void adopt(std::unique_ptr<Transport> transport, Mode mode);
    void releaseTransport();
    // Sends the frame and runs the event loop until `take`, given each batch of bytes
    // received, returns a result, the transport fails or is released, or 500 ms pass.
    int awaitResult(Transport *transport, void (Comm::*released)(), const QByteArray &frame,
                    Traffic sent, Traffic received,
                    const std::function<int(const QByteArray &)> &take);
    int waitForReply(Transport *transport, ReplySorter &sorter);
    int waitForReaderReply(const QByteArray &command, int echoLength);
    void emitLog(int result, const QString &logText, const QString &reply, int length);

    int commMode_ = Serial;
    bool commBusy_ = false;
    QString replyText_;
    int replyLength_ = 0;
    QString deviceIdText_ = QStringLiteral("0001");
    bool deviceConnected_ = false;
    ComPortMap comPortMap_;

    std::unique_ptr<Transport> transport_;
    quint64 generation_ = 0;
    ReplyTally tally_;
    int framesNotTaken_ = 0;
    // Learnt over the life of the link object, across re-opened transports: a line that sent
    // copies once is doubted for the rest of the run. A copy comes after its exchange ended, as
    // a late reply does, so it is looked for within the same second. (The gap between a reply
    // and its copy is not measured: over TCP or a serial line a copy is seen only once the next
    // exchange runs the event loop, however early it came.)
    ReplyCopyWatch copyWatch_{std::chrono::milliseconds(LateReplyMs)};
    bool replyMayBeCopy_ = false;

    std::unique_ptr<SerialTransport> reader_;
    ReaderAssembler readerAssembler_;
    QString readerReplyText_;
    int readerReplyLength_ = 0;
    bool readerBusy_ = false;
};

// Printable form of a payload for the diagnostic log: control characters as <0E>.
QString PrintableText(const QByteArray &bytes);
