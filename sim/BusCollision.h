#pragma once

#include <QByteArray>
#include <QList>

// What a receiver reads when several controllers on one RS-485 bus transmit at once. Each
// sends its frame as serial characters (a start bit, eight data bits, a stop bit), a few bit
// times after the controller before it on the bus; the line carries a 0 bit wherever any of
// them drives one, and the receiver takes characters from it as a UART does. The bytes that
// come out are garbled and as a rule hold no reply frame. One frame alone comes out as it is.
QByteArray OverlappingFrames(const QList<QByteArray> &frames);
