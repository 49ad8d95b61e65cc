#pragma once

#include <QString>

// The constant trilingual text table shared by every window: one row per caption, hint or
// message, one column per language (0 English, 1 Traditional Chinese, 2 Simplified Chinese).

inline constexpr int LanguageRowCount = 147;
inline constexpr int LanguageColumnCount = 3;

// The text of a row in one column; empty for a row or column outside the table.
QString LanguageTableEntry(int row, int column);
