#pragma once

class Comm;

// What a card read came to: cards found, numbers not read, attempts that timed out.
struct LateWaitFigures
{
    int found = 0;
    int failed = 0;
    int timedOut = 0;
    double seconds = 0;
};

// The card read as it waited for late replies before: after a number one of whose attempts
// timed out, until a second after the number's last attempt was sent. Kept only to measure
// the retry policy, which counts the second from the attempt that timed out, against it.
LateWaitFigures ReferenceLateWaitRead(Comm &comm, int lastCard);
