#pragma once

#include <QStringList>

// The card preparation rules shown on the SD card page, eleven lines per language.
inline constexpr int SdCardNoteLineCount = 11;

QStringList MemoNote00(); // English
QStringList MemoNote01(); // Traditional Chinese
QStringList MemoNote02(); // Simplified Chinese

// The note of a language; an index outside 0 to 2 means English.
QStringList SdCardNote(int languageIndex);
