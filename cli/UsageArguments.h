#pragma once

#include <QString>

// How many words after the action a usage text such as "FILE.xml --db DB" or
// "(--now | \"YYYY-MM-DD hh:mm:ss\")" allows: a word in capitals or in quotes is one, an
// option's value none, "[X...]" any number, and a choice in parentheses as many as one of its
// branches.
namespace UsageArguments {

bool Allow(const QString &usage, qsizetype count);

} // namespace UsageArguments
