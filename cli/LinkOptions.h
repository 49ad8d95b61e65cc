#pragma once

#include <QCommandLineParser>
#include <QString>

class Comm;
class TraceSink;

// The connection options of the verbs that reach a controller: one of --tcp, --udp or --serial.
class LinkOptions
{
public:
    // Reads the options; false with a message in error() when they are unusable.
    bool read(const QCommandLineParser &parser);
    // Opens the link and, for TCP, waits for the connection; false with error() set. The
    // link is traced from the start when a trace is set.
    bool open(Comm &comm) const;
    void setTrace(TraceSink *trace) { trace_ = trace; }
    TraceSink *trace() const { return trace_; }
    // The Device ID from --id; "auto" leaves it to the verb to ask with 0000AC.
    bool deviceIdIsAuto() const { return autoId_; }
    bool isUdp() const { return kind_ == Kind::Udp; }
    int deviceId() const { return deviceId_; }
    QString error() const { return error_; }

private:
    enum class Kind
    {
        None,
        Tcp,
        Udp,
        Serial
    };

    Kind kind_ = Kind::None;
    QString host_;
    quint16 port_ = 5001;
    quint16 localPort_ = 5001;
    QString serialPort_;
    QString line_ = QStringLiteral("19200,e,8,1");
    int deviceId_ = 1;
    bool autoId_ = false;
    TraceSink *trace_ = nullptr;
    mutable QString error_;
};
