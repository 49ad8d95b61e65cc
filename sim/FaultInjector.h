#pragma once

#include "FaultSettings.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QRandomGenerator>
#include <functional>

// One piece of a reply as it goes onto the line: delay after the request, and the bytes.
struct DeliveryPiece
{
    int delayMs = 0;
    QByteArray bytes;
};

// Decides what becomes of one request and turns the reply into the pieces that go onto the
// line, with the faults applied. Each request draws the same number of random values for the
// faults that are on, so a seed gives one run exactly.
class FaultInjector
{
public:
    // Carries the command out in the controller and gives what goes onto the line: its reply
    // frame, or the garbled bytes of several controllers answering at once (empty: no answer).
    using CarryOut = std::function<QByteArray()>;

    explicit FaultInjector(quint32 seed) : random_(seed) {}

    // The fault is chosen before the controller acts: a dropped, silenced or refused command
    // never reaches it, so it changes nothing there. Empty when no reply goes out.
    QList<DeliveryPiece> plan(const QByteArray &commandText, const FaultSettings &faults,
                              const CarryOut &carryOut);

private:
    bool chance(double share) { return random_.generateDouble() < share; }
    // Counts the request against its code's lostCodes; true while that many are not lost yet.
    bool loseReply(const QByteArray &commandText, const FaultSettings &faults);
    QByteArray noiseBytes();
    // What goes onto the line with the data faults applied to a single reply: replaced data,
    // a wrong length.
    QByteArray answerFrame(const QByteArray &commandText, const FaultSettings &faults,
                           const CarryOut &carryOut, bool wrongLength, quint32 pick);

    QRandomGenerator random_;
    // Requests lost so far, by the code of lostCodes they matched.
    QMap<QByteArray, int> lost_;
    // The last reply frame that went out, as the controller made it.
    QByteArray previousFrame_;
};
