#pragma once

#include <QString>

struct VerbForm;
struct VerbSpec;

// Help texts made from the verb table, so that they always name what the parser accepts.

// kt480ctl --help: the verbs, one line each, and how to reach a controller.
QString TopHelp();
// kt480ctl help VERB, kt480ctl VERB --help: the verb's usage lines with what each does, its
// options and one example.
QString VerbHelp(const VerbSpec &verb);
// One usage line: "kt480ctl CONNECTION cards read [--from N] [--to M] [--out FILE]".
QString UsageLine(const VerbSpec &verb, const VerbForm &form);
// "usage: " and every usage line of the verb, for words that do not fit it.
QString UsageText(const VerbSpec &verb);
