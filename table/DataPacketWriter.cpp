#include "DataPacketWriter.h"

#include <QCoreApplication>
#include <QIODevice>
#include <optional>

namespace {

constexpr qsizetype FlushThreshold = 1 << 16;

bool IsAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7F)
            return false;
    }
    return true;
}

bool ContentIsAscii(const TableContent &content)
{
    for (const TableField &field : content.fields) {
        if (!IsAscii(field.name) || !IsAscii(field.type))
            return false;
    }
    for (const QStringList &row : content.rows) {
        for (const QString &value : row) {
            if (!IsAscii(value))
                return false;
        }
    }
    return true;
}

// The first character XML 1.0 or the reader's stand-ins for control characters leave no
// room for; nothing when there is none. Control characters other than TAB, LF and CR are not
// XML characters even as references (&#7;): a file holding one is rejected by every other
// reader, so it is never written.
std::optional<char32_t> UncarriedCharacter(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text.at(i + 1).unicode())) {
            ++i;
            continue;
        }
        const bool control = u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r';
        if (control || QChar::isSurrogate(u) || u == 0xFFFE || u == 0xFFFF ||
            (u >= 0xFDD0 && u <= 0xFDEF))
            return u;
    }
    return std::nullopt;
}

QString CharacterName(char32_t c)
{
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

bool NeedsEscape(QStringView text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u == u'&' || u == u'<' || u == u'>' || u == u'"')
            return true;
    }
    return false;
}

// Attribute text: markup characters as entities, CR, LF and TAB as three-digit numeric
// references (&#013;&#010;) so that they survive attribute normalisation.
void AppendAttributeValue(QByteArray &out, const QString &text)
{
    if (!NeedsEscape(text)) {
        out += text.toUtf8();
        return;
    }
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'&')
            escaped += u"&amp;";
        else if (u == u'<')
            escaped += u"&lt;";
        else if (u == u'>')
            escaped += u"&gt;";
        else if (u == u'"')
            escaped += u"&quot;";
        else if (u < 0x20)
            escaped += QStringLiteral("&#%1;").arg(int(u), 3, 10, QLatin1Char('0'));
        else
            escaped += c;
    }
    out += escaped.toUtf8();
}

void AppendAttribute(QByteArray &out, const QString &name, const QString &value)
{
    out += ' ';
    out += name.toUtf8();
    out += "=\"";
    AppendAttributeValue(out, value);
    out += '"';
}

void AppendMetadata(QByteArray &out, const QList<TableField> &fields)
{
    out += "<METADATA><FIELDS>";
    for (const TableField &field : fields) {
        out += "<FIELD";
        AppendAttribute(out, QStringLiteral("attrname"), field.name);
        AppendAttribute(out, QStringLiteral("fieldtype"), field.type);
        if (field.size > 0)
            AppendAttribute(out, QStringLiteral("WIDTH"), QString::number(field.size));
        out += "/>";
    }
    out += "</FIELDS><PARAMS/></METADATA>";
}

void AppendRow(QByteArray &out, const QList<TableField> &fields, const QStringList &row)
{
    out += "<ROW";
    for (int i = 0; i < fields.size() && i < row.size(); ++i) {
        if (!row.at(i).isEmpty())
            AppendAttribute(out, fields.at(i).name, row.at(i));
    }
    out += "/>";
}

bool Flush(QByteArray &out, QIODevice &device)
{
    const bool written = device.write(out) == out.size();
    out.clear();
    return written;
}

} // namespace

QString DataPacketProblem(const TableContent &content)
{
    for (const TableField &field : content.fields) {
        if (const auto c = UncarriedCharacter(field.name))
            return QCoreApplication::translate(
                       "DataPacketWriter",
                       "a field name holds the character %1, which a data packet "
                       "cannot carry")
                .arg(CharacterName(*c));
    }
    for (qsizetype row = 0; row < content.rows.size(); ++row) {
        const QStringList &values = content.rows.at(row);
        for (qsizetype i = 0; i < values.size() && i < content.fields.size(); ++i) {
            if (const auto c = UncarriedCharacter(values.at(i)))
                return QCoreApplication::translate(
                           "DataPacketWriter",
                           "row %1, field %2 holds the character %3, which a data "
                           "packet cannot carry")
                    .arg(row + 1)
                    .arg(content.fields.at(i).name, CharacterName(*c));
        }
    }
    return {};
}

bool WriteDataPacket(const TableContent &content, QIODevice &device)
{
    if (!DataPacketProblem(content).isEmpty())
        return false;
    QByteArray out;
    out.reserve(FlushThreshold + 4096);
    out += ContentIsAscii(content)
               ? "<?xml version=\"1.0\" standalone=\"yes\"?>"
               : "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";
    out += "  <DATAPACKET Version=\"2.0\">";
    AppendMetadata(out, content.fields);
    out += "<ROWDATA>";
    for (const QStringList &row : content.rows) {
        AppendRow(out, content.fields, row);
        if (out.size() >= FlushThreshold && !Flush(out, device))
            return false;
    }
    out += "</ROWDATA></DATAPACKET>";
    return Flush(out, device);
}
