#pragma once

struct CliContext;

// kt480ctl reader watch [--port PORT] [--count N]
// kt480ctl reader enrol FILE [--port PORT] [--count N] [--app N] [--apb 0|1] [--pin XXXX]
// The MELOK9 desk reader alone: no controller is reached.
int runReaderVerb(CliContext &context);
