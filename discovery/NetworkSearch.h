#pragma once

#include "ControllerHit.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>
#include <memory>

class TraceSink;

class NetProbe;

// Finds controllers that listen for TCP connections in one range of IPv4 addresses
// (A.B.C.first to A.B.C.last): one connection attempt per address, all opened at once, each
// connection probed for the Device IDs of the range (see NetProbe). It stops at the first
// controller, or with `all` lists every controller of the range. Widget-free and
// event-driven: progress and results are signals; stop() ends it at once.
class NetworkSearch : public QObject
{
    Q_OBJECT

public:
    static constexpr int Slots = 256;
    static constexpr int DefaultConnectTimeoutMs = 3000;

    struct Request
    {
        // The first three parts of the address, "192.168.1".
        QString network;
        int first = 101;
        int last = 101;
        quint16 port = 5001;
        int firstId = 1;
        int lastId = 1;
        bool all = false;
        // How long an address may take to accept the connection.
        int connectTimeoutMs = DefaultConnectTimeoutMs;
        // Where every probe's traffic is traced, labelled with its address; none: no trace.
        TraceSink *trace = nullptr;
    };

    explicit NetworkSearch(QObject *parent = nullptr);
    ~NetworkSearch() override;

    // Why the request cannot be searched (a malformed range, or an address that the
    // loopback-only switch refuses); empty when it can.
    static QString Refusal(const Request &request);
    // "A.B.C.x" for every x of the range.
    static QStringList Addresses(const Request &request);

    // Opens every attempt of the range; false (with nothing sent) when Refusal() names a
    // problem. finished() follows a true start, later.
    bool start(const Request &request);
    void stop();
    bool running() const { return running_; }
    bool stopRequested() const { return stopRequested_; }
    // What was found so far, in the order found.
    QList<ControllerHit> hits() const { return hits_; }
    // Addresses whose connection attempt is still open.
    int connectingCount() const;

signals:
    void probing(const QString &address, int deviceId);
    void controllerFound(const ControllerHit &hit);
    // Every connection is closed again.
    void finished(bool found);

private:
    void probeFinished(int slot, bool found, const ControllerHit &hit);
    void stopProbes();
    void queueFinish();
    void finish();

    std::array<std::unique_ptr<NetProbe>, Slots> slots_;
    int pending_ = 0;
    bool all_ = false;
    bool running_ = false;
    bool stopRequested_ = false;
    bool finishQueued_ = false;
    QList<ControllerHit> hits_;
};
