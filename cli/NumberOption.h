#pragma once

#include "CardRange.h"

#include <QCommandLineParser>
#include <QString>
#include <optional>

// A whole decimal number from lowest to highest, written with digits only (no sign, space or
// fraction); nothing for any other text, a number too large for an int included.
std::optional<int> BoundedNumber(const QString &text, int lowest, int highest);

// The value of a numeric option that the command line checked against its range; fallback
// when not given.
int NumberOptionValue(const QCommandLineParser &parser, const QString &name, int fallback);

// The card numbers of --from and --to (defaults 1 and 10500).
CardRange CardRangeOption(const QCommandLineParser &parser);
