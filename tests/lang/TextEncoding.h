#pragma once

#include <QString>

// True when the text converts into the named iconv character set and back without loss.
bool RoundTripsThrough(const QString &text, const char *charset);
