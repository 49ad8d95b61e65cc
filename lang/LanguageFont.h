#pragma once

#include <QFont>

class QWidget;

// Fonts of the three interface languages. The Windows face comes first; the installed faces
// after it keep the texts readable where that face is missing (fontconfig systems, CI).

// The window font of a language: 10 points, no style. An index outside 0 to 2 means English.
QFont LanguageFont(int languageIndex);

// The font of the printed record report: as LanguageFont, but 12 points for Chinese.
QFont ReportFont(int languageIndex);

// Sets the language font and black text on a window; children that use the parent font and
// palette inherit both.
void ApplyLanguageFont(QWidget *window, int languageIndex);
