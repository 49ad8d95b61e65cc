#pragma once

#include <QString>

// Automated runs (tests, benchmarks, the demo, CI) set KT480_LOOPBACK_ONLY=1. Every address
// outside 127.0.0.0/8 (and ::1) is then refused before a single byte is sent, so nothing
// that runs without a person can reach a real controller or network.
bool LoopbackOnly();

// True when the host may be contacted: always without the switch; with it only a literal
// loopback address or "localhost".
bool HostAllowed(const QString &host);

// The one sentence every refusal shows, in the interface's language (the window); kt480ctl
// speaks English.
QString HostRefusedText(const QString &host);
