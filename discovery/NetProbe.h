#pragma once

#include "ControllerHit.h"
#include "ReplyAssembler.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

class TraceSink;

// One address of a network search: a TCP connection attempt and, once connected, the probe
// of every Device ID of the range with "AS" (two passes), then "DB" for the ID that gave a
// serial number. Each exchange waits for the socket's events, at most 400 ms; nothing blocks
// and nothing polls.
class NetProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReplyTimeoutMs = 400;

    struct Plan
    {
        quint16 port = 5001;
        int firstId = 1;
        int lastId = 1;
        int connectTimeoutMs = 3000;
        TraceSink *trace = nullptr; // none: no trace
    };

    NetProbe(const QHostAddress &address, const Plan &plan, QObject *parent = nullptr);

    // Starts the connection attempt; finished() follows unless stop() comes first.
    void start();
    // Drops the connection at once; no signal follows.
    void stop();
    QString address() const { return address_.toString(); }
    bool connecting() const { return step_ == Step::Connecting; }

signals:
    // Connected, probing this Device ID.
    void probing(const QString &address, int deviceId);
    void finished(bool found, const ControllerHit &hit);

private:
    enum class Step
    {
        Idle,
        Connecting,
        SerialNumber,
        Version,
        Done
    };

    void connected();
    void failed();
    void askSerialNumber();
    void askVersion();
    void send(const QString &code);
    void received();
    // The end of one exchange: the reply's payload, empty after a time-out or a damaged
    // reply.
    void answered(const QByteArray &payload);
    void conclude(bool found);

    const QHostAddress address_;
    const Plan plan_;
    QTcpSocket socket_;
    QTimer timer_;
    ReplyAssembler assembler_;
    Step step_ = Step::Idle;
    QByteArray command_;
    int pass_ = 0;
    int id_ = 0;
    int versionAttempts_ = 0;
    ControllerHit hit_;
};
