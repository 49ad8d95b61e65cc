#pragma once

struct CliContext;

// kt480ctl file show FILE [--json|--csv] | file convert IN OUT: table files without a
// controller. .csv files are CSV, every other name a data packet.
int runFileVerb(CliContext &context);
