#pragma once

struct CliContext;

// kt480ctl fleet backup SITE.csv DIR [--jobs N] [--from N --to M]
// kt480ctl fleet restore SITE.csv DIR [--jobs N] [--force] [--dry-run] [--settle-ms MS]
// Every controller of a site file to or from its own folder DIR/NAME, several at once.
int runFleetVerb(CliContext &context);
