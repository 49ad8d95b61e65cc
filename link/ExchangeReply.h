#pragma once

#include <QString>

// What one command came to after all its attempts.
struct ExchangeReply
{
    // The result code of the last attempt (Comm::Result).
    int result = 0;
    // The accepted reply's payload; for a controller refusal its two characters.
    QString payload;
    int attempts = 0;
    // Some attempt got a reply back: accepted, refused by the controller or damaged.
    bool answered = false;
    // Some attempt was refused by the controller (a clean error reply): that is its answer,
    // which a later attempt lost on the line does not undo.
    bool refused = false;
    // An attempt was accepted with a payload long enough for the command.
    bool ok = false;
    // Some attempt reached the transport (not refused by a running exchange or a closed link).
    bool sent = false;
    // Some attempt that reached the transport got no clean answer (lost, damaged, unclear):
    // whether the controller carried that one out is not known.
    bool unclear = false;

    bool accepted() const { return ok; }
    // Nothing came back at all: every attempt timed out or could not be sent.
    bool silent() const { return !answered; }
};
