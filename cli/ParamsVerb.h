#pragma once

struct CliContext;

// kt480ctl ... params get [CODE…] | set CODE VALUE | backup FILE | restore FILE | defaults
int runParamsVerb(CliContext &context);
