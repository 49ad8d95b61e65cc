#pragma once

struct CliContext;

// kt480ctl CONNECTION cards sync FILE [--from N --to M] [--dry-run] brings the controller's
// cards to the card file's state without deleting them all: only the numbers that differ are
// written (numbers of the range the file does not hold are emptied), each read back. With
// --dry-run it prints the plan and writes nothing. Exit 0 when the controller equals the file
// over the range: after the sync, or (dry run) already.
int runCardsSync(CliContext &context);
