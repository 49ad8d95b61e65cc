#pragma once

struct CliContext;

// kt480ctl search serial [--port PORT]... [--line SETTINGS|all] [--ids A-B] [--thorough]
// kt480ctl search tcp --net A.B.C --range X-Y [--port P] [--ids A-B] [--all]
// Finds controllers without a connection option; exit 0 when one was found, 1 when none.
int runSearchVerb(CliContext &context);
