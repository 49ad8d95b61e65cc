#pragma once

struct CliContext;

// kt480ctl ... clock get | clock set [--now | "YYYY-MM-DD hh:mm:ss"]
int runClockVerb(CliContext &context);
