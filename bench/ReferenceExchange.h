#pragma once

#include <QByteArray>

class Transport;

// The exchange as first designed: poll the transport, sleep 5 ms, let events run, until a
// reply or 500 ms. Kept only to measure the event-driven engine against it.
int ReferenceExchange(Transport &transport, const QByteArray &command, int echoLength);
