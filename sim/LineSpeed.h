#pragma once

#include <QtGlobal>

// The baud rate a client has set on a pseudo-terminal, read on the simulator's side (the
// master shares the slave's line settings). 0 when it cannot be read. Parity cannot be
// told: a pseudo-terminal carries none.
qint32 LineSpeed(int masterFd);
