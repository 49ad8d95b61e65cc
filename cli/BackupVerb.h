#pragma once

struct CliContext;

// kt480ctl ... backup DIR [--from N --to M] | restore DIR: parameters and cards of a whole
// controller to or from the two default files in DIR.
int runBackupVerb(CliContext &context);
