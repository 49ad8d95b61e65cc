#pragma once

struct CliContext;

// kt480ctl CONNECTION sd status | sd backup SLOT | sd restore SLOT (SLOT 1 to 10): the
// controller's own SD card copy, followed until the controller reports it idle again.
int runSdVerb(CliContext &context);
