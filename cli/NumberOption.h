#pragma once

#include "CardRange.h"

#include <QCommandLineParser>
#include <QString>
#include <optional>

// A whole decimal number from lowest to highest, written with digits only (no sign, space or
// fraction); nothing for any other text, a number too large for an int included.
std::optional<int> BoundedNumber(const QString &text, int lowest, int highest);

// Checks every numeric option given on the command line against its range; false with a
// message naming the option and its range in error. A bad value is a usage error, never
// something a verb tries to work with.
bool CheckNumberOptions(const QCommandLineParser &parser, QString &error);

// The value of a numeric option that CheckNumberOptions accepted; fallback when not given.
int NumberOptionValue(const QCommandLineParser &parser, const QString &name, int fallback);

// The card numbers of --from and --to (defaults 1 and 10500).
CardRange CardRangeOption(const QCommandLineParser &parser);
