#pragma once

struct CliContext;

// kt480ctl ... cards read [--from N --to M] [--out FILE] | write FILE [--clear-all]
// [--skip-invalid] | clear-all
int runCardsVerb(CliContext &context);
