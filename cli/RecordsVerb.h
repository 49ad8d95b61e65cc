#pragma once

struct CliContext;

// kt480ctl CONNECTION records count
// kt480ctl CONNECTION records read [--limit N] [--out FILE.xml] [--csv FILE]
// kt480ctl records report FILE.xml (--pdf OUT.pdf | --csv OUT.csv) [--lang en|zh-TW|zh-CN]
//          [--since DATE] [--until DATE] [--card N] [--code N[-M][,...]]
int runRecordsVerb(CliContext &context);
