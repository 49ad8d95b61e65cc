#include "DataPacketReader.h"

#include "TextDecoding.h"

#include <QCoreApplication>
#include <QXmlStreamReader>
#include <vector>

namespace {

// Control characters other than TAB, LF and CR are not XML characters even as references,
// but older packets hold them. They travel through the parser as the noncharacters
// U+FDD0..U+FDEF, which never occur in exchanged text.
constexpr char16_t ControlStandIn = 0xFDD0;
constexpr int RowStateOriginal = 1;
constexpr int RowStateDeleted = 2;
constexpr int RowStateModified = 8;

bool IsForbiddenControl(uint code)
{
    return code < 0x20 && code != 0x09 && code != 0x0A && code != 0x0D;
}

// Replaces references to forbidden control characters by their stand-ins; returns whether
// any was found. Builds the new text in one pass so many references stay cheap.
bool ReplaceControlReferences(QString &text)
{
    QString replaced;
    qsizetype copiedUpTo = 0;
    qsizetype from = 0;
    while ((from = text.indexOf(u"&#", from)) >= 0) {
        const qsizetype semicolon = text.indexOf(u';', from + 2);
        if (semicolon < 0)
            break;
        const bool hex = semicolon > from + 2 && text.at(from + 2) == u'x';
        const qsizetype digitsStart = from + (hex ? 3 : 2);
        const QStringView digits = QStringView(text).sliced(digitsStart, semicolon - digitsStart);
        bool ok = false;
        const uint code = digits.size() <= 8 ? digits.toUInt(&ok, hex ? 16 : 10) : 0;
        if (!ok || !IsForbiddenControl(code)) {
            from += 2;
            continue;
        }
        if (replaced.isNull())
            replaced.reserve(text.size());
        replaced += QStringView(text).sliced(copiedUpTo, from - copiedUpTo);
        replaced += QChar(char16_t(ControlStandIn + code));
        copiedUpTo = from = semicolon + 1;
    }
    if (replaced.isNull())
        return false;
    replaced += QStringView(text).sliced(copiedUpTo);
    text = std::move(replaced);
    return true;
}

void RestoreControls(QString &value)
{
    for (QChar &c : value) {
        const char16_t u = c.unicode();
        if (u >= ControlStandIn && u < ControlStandIn + 0x20)
            c = QChar(char16_t(u - ControlStandIn));
    }
}

class PacketParser
{
public:
    PacketParser(QXmlStreamReader &reader, bool restoreControls)
        : reader_(reader), restoreControls_(restoreControls)
    {
    }

    bool Parse()
    {
        if (!reader_.readNextStartElement())
            return Fail(
                QCoreApplication::translate("DataPacketReader", "the file holds no XML element"));
        if (reader_.name() != u"DATAPACKET") {
            return Fail(QCoreApplication::translate(
                            "DataPacketReader", "not a data packet: the document element is <%1>")
                            .arg(reader_.name()));
        }
        bool haveFields = false;
        while (reader_.readNextStartElement()) {
            if (reader_.name() == u"METADATA") {
                if (!ReadMetadata())
                    return false;
                haveFields = true;
            } else if (reader_.name() == u"ROWDATA") {
                if (!haveFields)
                    return Fail(QCoreApplication::translate(
                        "DataPacketReader", "rows come before the field definitions"));
                if (!ReadRows())
                    return false;
            } else {
                reader_.skipCurrentElement();
            }
        }
        if (reader_.hasError())
            return false;
        if (!haveFields)
            return Fail(QCoreApplication::translate("DataPacketReader",
                                                    "the data packet has no field definitions"));
        while (!reader_.atEnd())
            reader_.readNext();
        return reader_.error() == QXmlStreamReader::NoError;
    }

    TableContent TakeContent() { return std::move(content_); }

private:
    bool Fail(const QString &message)
    {
        if (!reader_.hasError())
            reader_.raiseError(message);
        return false;
    }

    bool ReadMetadata()
    {
        while (reader_.readNextStartElement()) {
            if (reader_.name() == u"FIELDS") {
                if (!ReadFields())
                    return false;
            } else {
                reader_.skipCurrentElement();
            }
        }
        if (reader_.hasError())
            return false;
        if (content_.fields.isEmpty())
            return Fail(QCoreApplication::translate("DataPacketReader",
                                                    "the data packet defines no fields"));
        return true;
    }

    bool ReadFields()
    {
        while (reader_.readNextStartElement()) {
            if (reader_.name() != u"FIELD") {
                reader_.skipCurrentElement();
                continue;
            }
            if (!ReadField())
                return false;
            reader_.skipCurrentElement();
        }
        return !reader_.hasError();
    }

    bool ReadField()
    {
        const QXmlStreamAttributes attributes = reader_.attributes();
        TableField field;
        field.name = attributes.value(QLatin1String("attrname")).toString();
        if (!IsStorableFieldName(field.name))
            return Fail(QCoreApplication::translate("DataPacketReader",
                                                    "FIELD has no usable attrname (\"%1\")")
                            .arg(field.name));
        if (content_.FieldIndex(field.name) >= 0)
            return Fail(
                QCoreApplication::translate("DataPacketReader", "field \"%1\" is defined twice")
                    .arg(field.name));
        if (attributes.hasAttribute(QLatin1String("fieldtype")))
            field.type = attributes.value(QLatin1String("fieldtype")).toString();
        if (attributes.hasAttribute(QLatin1String("WIDTH"))) {
            bool ok = false;
            field.size = attributes.value(QLatin1String("WIDTH")).toInt(&ok);
            if (!ok || field.size < 0) {
                return Fail(QCoreApplication::translate("DataPacketReader",
                                                        "field \"%1\" has the width \"%2\"")
                                .arg(field.name, attributes.value(QLatin1String("WIDTH"))));
            }
        }
        content_.fields.append(field);
        return true;
    }

    bool ReadRows()
    {
        while (reader_.readNextStartElement()) {
            if (reader_.name() == u"ROW")
                ReadRow();
            reader_.skipCurrentElement();
        }
        return !reader_.hasError();
    }

    void ReadRow()
    {
        const qsizetype fieldCount = content_.fields.size();
        QStringList row(fieldCount);
        std::vector<bool> present(fieldCount, false);
        int rowState = 0;
        const QXmlStreamAttributes attributes = reader_.attributes();
        for (qsizetype i = 0; i < attributes.size(); ++i) {
            const QXmlStreamAttribute &attribute = attributes.at(i);
            const QStringView name = attribute.name();
            if (name == u"RowState") {
                rowState = attribute.value().toInt();
                continue;
            }
            // Attributes usually stand in field order; look there first.
            const int index = i < fieldCount && content_.fields.at(i).name == name
                                  ? int(i)
                                  : content_.FieldIndex(name);
            if (index < 0)
                continue;
            row[index] = attribute.value().toString();
            if (restoreControls_)
                RestoreControls(row[index]);
            present[index] = true;
        }
        if (rowState & RowStateModified && havePreviousOriginal_) {
            for (qsizetype i = 0; i < fieldCount; ++i) {
                if (!present[i])
                    row[i] = previousOriginal_.at(i);
            }
        }
        havePreviousOriginal_ = rowState & RowStateOriginal;
        if (havePreviousOriginal_)
            previousOriginal_ = row;
        if (!(rowState & (RowStateOriginal | RowStateDeleted)))
            content_.rows.append(std::move(row));
    }

    QXmlStreamReader &reader_;
    const bool restoreControls_;
    TableContent content_;
    QStringList previousOriginal_;
    bool havePreviousOriginal_ = false;
};

QString Located(const QString &fileName, qint64 line, qint64 column, const QString &message)
{
    return QCoreApplication::translate("DataPacketReader", "%1: line %2, column %3: %4")
        .arg(fileName)
        .arg(line)
        .arg(column)
        .arg(message);
}

} // namespace

TableResult ReadDataPacket(const QByteArray &bytes, const QString &fileName, TableContent &content)
{
    DecodedText decoded = DecodeXmlText(bytes);
    if (!decoded.error.isEmpty()) {
        return TableResult::Failure(
            QCoreApplication::translate("DataPacketReader", "%1: line %2: %3")
                .arg(fileName)
                .arg(decoded.errorLine)
                .arg(decoded.error));
    }
    const bool restoreControls = ReplaceControlReferences(decoded.text);
    QXmlStreamReader reader(decoded.text);
    PacketParser parser(reader, restoreControls);
    if (!parser.Parse()) {
        return TableResult::Failure(
            Located(fileName, reader.lineNumber(), reader.columnNumber(), reader.errorString()));
    }
    content = parser.TakeContent();
    return TableResult::Success();
}
