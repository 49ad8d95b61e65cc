#pragma once

struct CliContext;

// kt480ctl ... exchange TEXT [--echo K]: one command text, its diagnostic line last.
int runExchangeVerb(CliContext &context);
