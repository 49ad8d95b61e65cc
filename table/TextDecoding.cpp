#include "TextDecoding.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

constexpr qsizetype DeclarationScanLength = 256;

QByteArray DeclaredEncoding(const QByteArray &bytes)
{
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\s*<\?xml\s[^?]*?encoding\s*=\s*(["'])([A-Za-z0-9._:-]+)\1)"));
    const QString head = QString::fromLatin1(bytes.left(DeclarationScanLength));
    const QRegularExpressionMatch match = declaration.match(head);
    return match.hasMatch() ? match.captured(2).toLatin1() : QByteArray();
}

// Decodes line by line so that a bad byte sequence can be reported with its line; a line
// end byte never occurs inside a multi-byte character of an ASCII-compatible encoding. Each
// line is decoded on its own, so only the first decoder may drop a byte-order mark: at the
// start of a later line the same bytes are a character of the text (U+FEFF) and stay.
DecodedText DecodeByLines(const QByteArray &bytes, QStringDecoder &first, QStringDecoder &later,
                          const QString &encodingName)
{
    DecodedText result;
    result.text.reserve(bytes.size());
    qsizetype start = 0;
    int line = 1;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        QStringDecoder &decoder = start == 0 ? first : later;
        result.text += decoder.decode(QByteArrayView(bytes).sliced(start, end - start));
        if (decoder.hasError()) {
            result.text.clear();
            result.error = QCoreApplication::translate("TextDecoding", "the text is not valid %1")
                               .arg(encodingName);
            result.errorLine = line;
            return result;
        }
        start = end;
        ++line;
    }
    return result;
}

// A byte-order mark of an encoding other than UTF-8; such text is decoded as a whole.
std::optional<DecodedText> DecodeMarkedWideText(const QByteArray &bytes)
{
    const std::optional<QStringConverter::Encoding> marked =
        QStringConverter::encodingForData(bytes, u'<');
    if (!marked || *marked == QStringConverter::Utf8)
        return std::nullopt;
    QStringDecoder decoder(*marked, QStringConverter::Flag::Stateless);
    DecodedText result;
    result.text = decoder.decode(bytes);
    if (decoder.hasError()) {
        result.text.clear();
        result.error = QCoreApplication::translate("TextDecoding", "the text is not valid %1")
                           .arg(QString::fromLatin1(QStringConverter::nameForEncoding(*marked)));
        result.errorLine = 1;
    }
    return result;
}

constexpr QStringConverter::Flags LaterLines =
    QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

DecodedText DecodeUtf8ByLines(const QByteArray &bytes)
{
    QStringDecoder first(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QStringDecoder later(QStringConverter::Utf8, LaterLines);
    return DecodeByLines(bytes, first, later, QStringLiteral("UTF-8"));
}

} // namespace

DecodedText DecodeXmlText(const QByteArray &bytes)
{
    if (std::optional<DecodedText> wide = DecodeMarkedWideText(bytes))
        return *wide;
    const QByteArray declared = DeclaredEncoding(bytes);
    if (!declared.isEmpty() && !bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder first(declared.constData(), QStringConverter::Flag::Stateless);
        QStringDecoder later(declared.constData(), LaterLines);
        if (first.isValid() && later.isValid())
            return DecodeByLines(bytes, first, later, QString::fromLatin1(declared));
    }
    return DecodeUtf8ByLines(bytes);
}

DecodedText DecodeUtf8Text(const QByteArray &bytes)
{
    if (std::optional<DecodedText> wide = DecodeMarkedWideText(bytes))
        return *wide;
    return DecodeUtf8ByLines(bytes);
}
