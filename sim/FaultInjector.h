#pragma once

#include "FaultSettings.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

// One piece of a reply as it goes onto the line: delay after the request, and the bytes.
struct DeliveryPiece
{
    int delayMs = 0;
    QByteArray bytes;
};

// Turns a reply body into the pieces that go onto the line, with the faults applied.
// Each request draws the same number of random values, so a seed gives one run exactly.
class FaultInjector
{
public:
    explicit FaultInjector(quint32 seed) : random_(seed) {}

    // Empty when the reply is lost (dropped or silenced).
    QList<DeliveryPiece> plan(const QByteArray &commandText, const QByteArray &body,
                              const FaultSettings &faults);

private:
    bool chance(double share) { return random_.generateDouble() < share; }
    QByteArray noiseBytes();

    QRandomGenerator random_;
};
