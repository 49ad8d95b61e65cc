#include "PdfTextLayer.h"

#include "RecordsLog.h"

#include <QFontDatabase>
#include <QHash>
#include <QList>
#include <QMap>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <optional>

namespace {

constexpr int XrefEntrySize = 20;
constexpr int XrefOffsetDigits = 10;
// A CMap block holds at most this many entries.
constexpr int EntriesPerBlock = 100;

// A piece of the file replaced by other bytes.
struct Edit
{
    qsizetype from;
    qsizetype to;
    QByteArray bytes;
};

// The cross-reference table as Qt writes it: "xref", "0 N", then N entries of 20 bytes.
struct Xref
{
    qsizetype at = 0;
    qsizetype entries = 0;
    QList<qsizetype> offsets;
};

// The number after "startxref" and where it stands.
struct StartXref
{
    qsizetype digitsAt = 0;
    qsizetype digitsLength = 0;
    qsizetype value = 0;
};

std::optional<StartXref> ReadStartXref(const QByteArray &pdf)
{
    static const QRegularExpression pattern(QStringLiteral("startxref\\s+(\\d+)\\s+%%EOF\\s*$"));
    const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(pdf.right(64)));
    if (!m.hasMatch())
        return std::nullopt;
    const qsizetype tailStart = pdf.size() - std::min<qsizetype>(pdf.size(), 64);
    return StartXref{tailStart + m.capturedStart(1), m.capturedLength(1),
                     m.captured(1).toLongLong()};
}

std::optional<Xref> ReadXref(const QByteArray &pdf, qsizetype at)
{
    static const QRegularExpression head(QStringLiteral("^xref\\n0 (\\d+)\\n"));
    const QRegularExpressionMatch m = head.match(QString::fromLatin1(pdf.mid(at, 32)));
    if (!m.hasMatch())
        return std::nullopt;
    Xref xref;
    xref.entries = at + m.capturedLength(0);
    const int count = m.captured(1).toInt();
    if (xref.entries + qsizetype(count) * XrefEntrySize > pdf.size())
        return std::nullopt;
    xref.at = at;
    for (int i = 0; i < count; ++i) {
        const QByteArray entry =
            pdf.mid(xref.entries + qsizetype(i) * XrefEntrySize, XrefEntrySize);
        bool ok = false;
        const qsizetype offset = entry.left(XrefOffsetDigits).toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        xref.offsets << (entry.at(17) == 'n' ? offset : -1);
    }
    return xref;
}

// A ToUnicode stream: where its length and its data stand.
struct CMapStream
{
    qsizetype lengthAt = 0;
    qsizetype lengthDigits = 0;
    qsizetype dataAt = 0;
    QByteArray data;
};

std::optional<CMapStream> ReadCMapStream(const QByteArray &pdf, const Xref &xref, int object)
{
    const qsizetype at = xref.offsets.value(object, -1);
    if (at < 0 || !pdf.mid(at).startsWith(QByteArray::number(object) + " 0 obj"))
        return std::nullopt;
    const qsizetype stream = pdf.indexOf("stream\n", at);
    if (stream < 0)
        return std::nullopt;
    const QByteArray dictionary = pdf.mid(at, stream - at);
    static const QRegularExpression length(QStringLiteral("/Length (\\d+)\\s"));
    const QRegularExpressionMatch m = length.match(QString::fromLatin1(dictionary));
    // A compressed map (or one whose length stands elsewhere) is left as it is.
    if (!m.hasMatch() || dictionary.contains("/Filter"))
        return std::nullopt;
    CMapStream cmap;
    cmap.lengthAt = at + m.capturedStart(1);
    cmap.lengthDigits = m.capturedLength(1);
    cmap.dataAt = stream + 7;
    cmap.data = pdf.mid(cmap.dataAt, m.captured(1).toLongLong());
    if (!pdf.mid(cmap.dataAt + cmap.data.size(), 16).contains("endstream"))
        return std::nullopt;
    return cmap;
}

QString FromHex(const QByteArray &hex)
{
    QString text;
    for (qsizetype i = 0; i + 4 <= hex.size(); i += 4)
        text += QChar(char16_t(hex.mid(i, 4).toUShort(nullptr, 16)));
    return text;
}

QByteArray ToHex(const QString &text)
{
    QByteArray hex;
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex;
}

// The glyph names of a map's bfrange and bfchar blocks, by glyph; nothing when it holds a
// form this reader does not know.
std::optional<QMap<quint32, QString>> ReadNames(const QByteArray &data)
{
    static const QRegularExpression token(QStringLiteral("<([0-9A-Fa-f]*)>|\\[|\\]|[A-Za-z]+"));
    QMap<quint32, QString> names;
    QList<QString> tokens;
    auto it = token.globalMatch(QString::fromLatin1(data));
    while (it.hasNext())
        tokens << it.next().captured(0);
    auto hexOf = [](const QString &t) { return t.mid(1, t.size() - 2).toLatin1(); };
    auto isHex = [](const QString &t) { return t.startsWith(QLatin1Char('<')); };
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        if (tokens[i] == QLatin1String("beginbfchar")) {
            for (++i; i + 1 < tokens.size() && isHex(tokens[i]); i += 2)
                names.insert(hexOf(tokens[i]).toUInt(nullptr, 16), FromHex(hexOf(tokens[i + 1])));
            if (i >= tokens.size() || tokens[i] != QLatin1String("endbfchar"))
                return std::nullopt;
        } else if (tokens[i] == QLatin1String("beginbfrange")) {
            for (++i; i + 2 < tokens.size() && isHex(tokens[i]);) {
                const quint32 low = hexOf(tokens[i]).toUInt(nullptr, 16);
                const quint32 high = hexOf(tokens[i + 1]).toUInt(nullptr, 16);
                if (high < low)
                    return std::nullopt;
                if (isHex(tokens[i + 2])) {
                    QString name = FromHex(hexOf(tokens[i + 2]));
                    for (quint32 glyph = low; glyph <= high && !name.isEmpty(); ++glyph) {
                        names.insert(glyph, name);
                        name.back() = QChar(char16_t(name.back().unicode() + 1));
                    }
                    i += 3;
                } else if (tokens[i + 2] == QLatin1String("[")) {
                    i += 3;
                    for (quint32 glyph = low; i < tokens.size() && isHex(tokens[i]); ++i, ++glyph)
                        names.insert(glyph, FromHex(hexOf(tokens[i])));
                    if (i >= tokens.size() || tokens[i] != QLatin1String("]"))
                        return std::nullopt;
                    ++i;
                } else {
                    return std::nullopt;
                }
            }
            if (i >= tokens.size() || tokens[i] != QLatin1String("endbfrange"))
                return std::nullopt;
        }
    }
    return names;
}

// The map with its bfrange and bfchar blocks replaced by bfchar blocks of `names`.
QByteArray WriteNames(const QByteArray &data, const QMap<quint32, QString> &names)
{
    const qsizetype first =
        std::min(data.indexOf("beginbfrange") < 0 ? data.size() : data.indexOf("beginbfrange"),
                 data.indexOf("beginbfchar") < 0 ? data.size() : data.indexOf("beginbfchar"));
    const qsizetype lastEnd =
        std::max(data.lastIndexOf("endbfrange") < 0
                     ? -1
                     : data.lastIndexOf("endbfrange") + qsizetype(qstrlen("endbfrange")),
                 data.lastIndexOf("endbfchar") < 0
                     ? -1
                     : data.lastIndexOf("endbfchar") + qsizetype(qstrlen("endbfchar")));
    // The block's count stands on the line before the keyword.
    const qsizetype blocksStart = data.lastIndexOf('\n', first) + 1;
    QByteArray blocks;
    QList<quint32> glyphs = names.keys();
    for (qsizetype from = 0; from < glyphs.size(); from += EntriesPerBlock) {
        const qsizetype count = std::min<qsizetype>(EntriesPerBlock, glyphs.size() - from);
        blocks += QByteArray::number(count) + " beginbfchar\n";
        for (qsizetype i = from; i < from + count; ++i)
            blocks += '<' + QByteArray::number(glyphs[i], 16).rightJustified(4, '0').toUpper() +
                      "> <" + ToHex(names.value(glyphs[i])) + ">\n";
        blocks += "endbfchar";
        if (from + count < glyphs.size())
            blocks += '\n';
    }
    return data.left(blocksStart) + blocks + data.mid(lastEnd);
}

// The characters drawn, each once, in the order first drawn (a pair of surrogates as one).
QStringList Characters(const QString &text)
{
    QStringList characters;
    QSet<QString> seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                ? 2
                : 1;
        const QString c = text.mid(i, length);
        i += length - 1;
        if (!seen.contains(c)) {
            seen.insert(c);
            characters << c;
        }
    }
    return characters;
}

// Renames glyphs named after a character that was not drawn; true when one was.
class Renamer
{
public:
    Renamer(const QFont &font, const QString &drawn)
    {
        const QStringList characters = Characters(drawn);
        drawn_ = QSet<QString>(characters.cbegin(), characters.cend());
        // The report's font as it is chosen for each script it writes.
        for (const QFontDatabase::WritingSystem system :
             {QFontDatabase::Any, QFontDatabase::Latin, QFontDatabase::TraditionalChinese,
              QFontDatabase::SimplifiedChinese}) {
            const QRawFont raw = QRawFont::fromFont(font, system);
            if (!raw.isValid())
                continue;
            QHash<quint32, QString> byGlyph;
            for (const QString &c : characters) {
                const quint32 glyph = GlyphOf(raw, c);
                if (glyph != 0 && !byGlyph.contains(glyph))
                    byGlyph.insert(glyph, c);
            }
            fonts_.append({raw, byGlyph});
        }
    }

    bool rename(QMap<quint32, QString> &names) const
    {
        bool renamed = false;
        for (auto it = names.begin(); it != names.end(); ++it) {
            if (it.value().isEmpty() || it.value() == QChar(0) || drawn_.contains(it.value()))
                continue;
            const QString drawnThere = sameGlyph(it.value());
            // A ligature ("fi" drawn as ﬁ) is named by the letters it stands for.
            const QString letters = it.value().normalized(QString::NormalizationForm_KC);
            if (!drawnThere.isEmpty()) {
                it.value() = drawnThere;
                renamed = true;
            } else if (letters.size() > 1 && allDrawn(Characters(letters))) {
                it.value() = letters;
                renamed = true;
            }
        }
        return renamed;
    }

private:
    // The drawn character the font draws with the same glyph as `character`; empty for none.
    QString sameGlyph(const QString &character) const
    {
        for (const auto &[raw, byGlyph] : fonts_) {
            const QString drawnThere = byGlyph.value(GlyphOf(raw, character));
            if (!drawnThere.isEmpty())
                return drawnThere;
        }
        return {};
    }

    bool allDrawn(const QStringList &characters) const
    {
        return std::all_of(characters.cbegin(), characters.cend(),
                           [this](const QString &c) { return drawn_.contains(c); });
    }

    static quint32 GlyphOf(const QRawFont &raw, const QString &character)
    {
        const QList<quint32> glyphs = raw.glyphIndexesForString(character);
        return glyphs.size() == 1 ? glyphs.first() : 0;
    }

    QSet<QString> drawn_;
    QList<QPair<QRawFont, QHash<quint32, QString>>> fonts_;
};

} // namespace

QByteArray NameDrawnCharacters(const QByteArray &pdf, const QFont &font, const QString &drawn)
{
    const std::optional<StartXref> start = ReadStartXref(pdf);
    const std::optional<Xref> xref = start ? ReadXref(pdf, start->value) : std::nullopt;
    if (!xref) {
        qCWarning(lcRecords) << "the report's PDF has no cross-reference table where Qt puts it;"
                                " its text layer is left as written";
        return pdf;
    }
    const Renamer renamer(font, drawn);
    QList<Edit> edits;
    static const QRegularExpression reference(QStringLiteral("/ToUnicode (\\d+) 0 R"));
    QSet<int> seen;
    auto it = reference.globalMatch(QString::fromLatin1(pdf.left(xref->at)));
    while (it.hasNext()) {
        const int object = it.next().captured(1).toInt();
        if (seen.contains(object))
            continue;
        seen.insert(object);
        const std::optional<CMapStream> cmap = ReadCMapStream(pdf, *xref, object);
        std::optional<QMap<quint32, QString>> names = cmap ? ReadNames(cmap->data) : std::nullopt;
        if (!names) {
            qCWarning(lcRecords) << "the text layer of font object" << object
                                 << "is not in the form Qt writes; left as written";
            continue;
        }
        if (!renamer.rename(*names))
            continue;
        const QByteArray data = WriteNames(cmap->data, *names);
        edits.append(
            {cmap->lengthAt, cmap->lengthAt + cmap->lengthDigits, QByteArray::number(data.size())});
        edits.append({cmap->dataAt, cmap->dataAt + cmap->data.size(), data});
    }
    if (edits.isEmpty())
        return pdf;
    std::sort(edits.begin(), edits.end(),
              [](const Edit &a, const Edit &b) { return a.from < b.from; });
    // Where a byte of the old file stands in the new one.
    auto moved = [&edits](qsizetype at) {
        qsizetype shift = 0;
        for (const Edit &e : edits) {
            if (e.from < at)
                shift += e.bytes.size() - (e.to - e.from);
        }
        return at + shift;
    };
    QByteArray out;
    out.reserve(pdf.size() + 4096);
    qsizetype copied = 0;
    for (const Edit &e : edits) {
        out += pdf.mid(copied, e.from - copied);
        out += e.bytes;
        copied = e.to;
    }
    out += pdf.mid(copied);
    const qsizetype entries = moved(xref->entries);
    for (qsizetype i = 0; i < xref->offsets.size(); ++i) {
        if (xref->offsets[i] < 0)
            continue;
        const QByteArray digits =
            QByteArray::number(moved(xref->offsets[i])).rightJustified(XrefOffsetDigits, '0');
        out.replace(entries + i * XrefEntrySize, XrefOffsetDigits, digits);
    }
    out.replace(moved(start->digitsAt), start->digitsLength, QByteArray::number(moved(xref->at)));
    return out;
}
