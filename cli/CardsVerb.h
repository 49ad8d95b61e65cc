#pragma once

struct CliContext;

// kt480ctl ... cards read [--from N --to M] [--out FILE] | write FILE [--clear-all]
// [--skip-invalid] | clear-all | diff FILE; kt480ctl cards diff A.xml B.xml
int runCardsVerb(CliContext &context);
