#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>

// Qt's PDF writer names each glyph in a font's text layer (the ToUnicode map that copying,
// searching and pdftotext read) after the lowest code point the font draws with that glyph.
// Fonts such as Noto Sans CJK draw several code points with one glyph: the Kangxi radical ⾨
// (U+2FA8) and the ideograph 門 (U+9580), the supplement radical ⻔ (U+2ED4) and 门 (U+95E8),
// a tab and a blank. So the text layer named the radical where the ideograph was drawn.
//
// Returns the PDF with every such glyph named after the character that was drawn with it:
// a glyph whose name is not among `drawn` (every text drawn in `font`) takes the drawn
// character the font draws with the same glyph. A ligature glyph (ﬁ for "fi") is named by the
// letters it stands for. A PDF laid out otherwise than Qt's writer lays it out is returned
// unchanged.
QByteArray NameDrawnCharacters(const QByteArray &pdf, const QFont &font, const QString &drawn);
