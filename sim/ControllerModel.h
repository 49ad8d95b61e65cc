#pragma once

#include <QByteArray>
#include <QDateTime>
#include <functional>

class ControllerState;
struct ControllerData;

// What one controller answers to a command text. Pure: no sockets, no timers; time comes
// from the clock given, so that tests can move it.
class ControllerModel
{
public:
    using Clock = std::function<QDateTime()>;

    explicit ControllerModel(ControllerState &state, Clock clock = {});

    // The reply body (echo first) to one command text; empty when this controller does not
    // answer (another Device ID, or a broadcast it is not meant to answer).
    QByteArray handleRequest(const QByteArray &commandText);
    // Whether this controller answers the command text (its own Device ID, or the broadcast
    // "0000AC"); nothing is carried out.
    bool answers(const QByteArray &commandText) const;

    ControllerState &state() { return state_; }

private:
    struct Command
    {
        QByteArray code; // the two letters
        QByteArray rest; // everything after them
        QByteArray echo; // Device ID and the two letters
    };

    QByteArray answer(ControllerData &d, const Command &c, bool &changed) const;
    QByteArray sdStatus(ControllerData &d, const Command &c, bool &changed) const;
    QByteArray sdStart(ControllerData &d, const Command &c, bool &changed) const;
    QByteArray clockRead(const ControllerData &d, const Command &c) const;
    QByteArray clockSet(ControllerData &d, const Command &c, bool &changed) const;
    QByteArray parameter(ControllerData &d, const Command &c, bool &changed) const;
    QByteArray cardRead(const ControllerData &d, const Command &c) const;
    QByteArray cardWrite(ControllerData &d, const Command &c, bool &changed) const;
    QByteArray eventAck(ControllerData &d, const Command &c, bool &changed) const;
    QByteArray group(ControllerData &d, const Command &c, bool &changed) const;
    // Finishes an SD copy whose time is up.
    void advanceSd(ControllerData &d, bool &changed) const;
    int sdProcessed(const ControllerData &d) const;

    ControllerState &state_;
    Clock clock_;
};

// An error reply body: the echo, 0x0E and the error letter.
QByteArray ErrorReplyBody(const QByteArray &echo, char letter);
