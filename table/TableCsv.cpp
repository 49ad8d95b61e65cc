#include "TableCsv.h"

#include "KnownFieldLists.h"
#include "TableFileLimit.h"
#include "TableStore.h"
#include "TextDecoding.h"
#include "WholeFileCommit.h"

#include <QCoreApplication>
#include <QSaveFile>

namespace {

struct CsvRecord
{
    QStringList values;
    int line = 0;
};

bool NeedsQuotes(QStringView value)
{
    for (const QChar c : value) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    }
    return false;
}

void AppendCsvValue(QString &out, const QString &value, bool quoteEmpty)
{
    if (NeedsQuotes(value) || (quoteEmpty && value.isEmpty())) {
        out += u'"';
        out += QString(value).replace(u'"', QStringLiteral("\"\""));
        out += u'"';
    } else {
        out += value;
    }
}

// RFC 4180 records with the line each starts on. Fails with the offending line.
class CsvParser
{
public:
    explicit CsvParser(const QString &text) : text_(text) {}

    bool Parse()
    {
        for (qsizetype i = 0; i < text_.size(); ++i) {
            const QChar c = text_.at(i);
            if (inQuotes_) {
                if (c == u'"' && i + 1 < text_.size() && text_.at(i + 1) == u'"') {
                    value_ += u'"';
                    ++i;
                } else if (c == u'"') {
                    inQuotes_ = false;
                    closedQuote_ = true;
                } else {
                    if (c == u'\n')
                        ++line_;
                    value_ += c;
                }
                continue;
            }
            if (c == u',') {
                EndValue();
            } else if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && i + 1 < text_.size() && text_.at(i + 1) == u'\n')
                    ++i;
                EndRecord();
                ++line_;
            } else if (closedQuote_) {
                return Fail(
                    QCoreApplication::translate("TableCsv", "text follows a closing quote"));
            } else if (c == u'"') {
                if (!value_.isEmpty())
                    return Fail(QCoreApplication::translate("TableCsv",
                                                            "a quote inside an unquoted value"));
                inQuotes_ = true;
                quoted_ = true;
                quoteLine_ = line_;
            } else {
                value_ += c;
            }
        }
        if (inQuotes_) {
            line_ = quoteLine_;
            return Fail(QCoreApplication::translate("TableCsv", "a quoted value is not closed"));
        }
        EndRecord();
        return true;
    }

    const QList<CsvRecord> &Records() const { return records_; }
    const QString &Error() const { return error_; }
    int ErrorLine() const { return line_; }

private:
    bool Fail(const QString &message)
    {
        error_ = message;
        return false;
    }

    void EndValue()
    {
        if (record_.values.isEmpty() && record_.line == 0)
            record_.line = startLine_;
        record_.values.append(value_);
        value_.clear();
        quoted_ = closedQuote_ = false;
    }

    void EndRecord()
    {
        const bool blank = record_.values.isEmpty() && value_.isEmpty() && !quoted_;
        if (!blank) {
            EndValue();
            records_.append(std::move(record_));
        }
        record_ = CsvRecord();
        value_.clear();
        quoted_ = closedQuote_ = false;
        startLine_ = line_ + 1;
    }

    const QString &text_;
    QList<CsvRecord> records_;
    CsvRecord record_;
    QString value_;
    QString error_;
    bool inQuotes_ = false;
    bool quoted_ = false;
    bool closedQuote_ = false;
    int line_ = 1;
    int startLine_ = 1;
    int quoteLine_ = 1;
};

QString AtLine(const QString &fileName, int line, const QString &message)
{
    return QCoreApplication::translate("TableCsv", "%1: line %2: %3")
        .arg(fileName)
        .arg(line)
        .arg(message);
}

QList<TableField> FieldsForHeader(const QStringList &names)
{
    QList<TableField> fields = KnownFieldListNamed(names);
    if (fields.isEmpty()) {
        for (const QString &name : names)
            fields.append(TableField{name, DefaultCsvFieldSize});
    }
    return fields;
}

} // namespace

QByteArray TableToCsv(const TableStore &table)
{
    const TableContent &content = table.Content();
    const bool singleField = content.fields.size() == 1;
    QString out;
    for (int i = 0; i < content.fields.size(); ++i) {
        if (i > 0)
            out += u',';
        AppendCsvValue(out, content.fields.at(i).name, singleField);
    }
    out += u"\r\n";
    for (const QStringList &row : content.rows) {
        for (int i = 0; i < row.size(); ++i) {
            if (i > 0)
                out += u',';
            AppendCsvValue(out, row.at(i), singleField);
        }
        out += u"\r\n";
    }
    return out.toUtf8();
}

TableResult WriteCsvFile(const TableStore &table, const QString &path)
{
    if (!table.Active()) {
        return TableResult::Failure(
            QCoreApplication::translate("TableCsv", "%1: nothing to write (the table is inactive)")
                .arg(path));
    }
    QSaveFile file(path);
    const QByteArray bytes = TableToCsv(table);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
        !CommitWhole(file)) {
        return TableResult::Failure(
            QCoreApplication::translate("TableCsv", "%1: cannot write the file: %2")
                .arg(path, WriteFailureText(file)));
    }
    return TableResult::Success();
}

TableResult ParseCsv(const QByteArray &bytes, const QString &fileName, TableStore &table)
{
    const DecodedText decoded = DecodeUtf8Text(bytes);
    if (!decoded.error.isEmpty())
        return TableResult::Failure(AtLine(fileName, decoded.errorLine, decoded.error));
    CsvParser parser(decoded.text);
    if (!parser.Parse())
        return TableResult::Failure(AtLine(fileName, parser.ErrorLine(), parser.Error()));
    const QList<CsvRecord> &records = parser.Records();
    if (records.isEmpty())
        return TableResult::Failure(
            AtLine(fileName, 1, QCoreApplication::translate("TableCsv", "no header row")));

    const CsvRecord &header = records.first();
    TableContent content;
    content.fields = FieldsForHeader(header.values);
    for (qsizetype i = 0; i < header.values.size(); ++i) {
        const QString &name = header.values.at(i);
        if (!IsStorableFieldName(name) || header.values.indexOf(name) != i) {
            return TableResult::Failure(AtLine(
                fileName, header.line,
                QCoreApplication::translate(
                    "TableCsv", "\"%1\" cannot be a field name (letters, digits, _ - . only, "
                                "each name once)")
                    .arg(name)));
        }
    }
    const qsizetype fieldCount = content.fields.size();
    content.rows.reserve(records.size() - 1);
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvRecord &record = records.at(r);
        if (record.values.size() != fieldCount) {
            return TableResult::Failure(
                AtLine(fileName, record.line,
                       QCoreApplication::translate("TableCsv",
                                                   "%1 values where the header names %2 fields")
                           .arg(record.values.size())
                           .arg(fieldCount)));
        }
        for (qsizetype i = 0; i < fieldCount; ++i) {
            TableField &field = content.fields[i];
            field.size = qMax(field.size, CharacterCount(record.values.at(i)));
        }
        content.rows.append(record.values);
    }
    if (!table.SetContent(std::move(content)))
        return TableResult::Failure(AtLine(
            fileName, header.line, QCoreApplication::translate("TableCsv", "unusable header")));
    return TableResult::Success();
}

TableResult ReadCsvFile(const QString &path, TableStore &table)
{
    QByteArray bytes;
    const TableResult file = ReadTableFile(path, bytes);
    if (!file)
        return file;
    return ParseCsv(bytes, path, table);
}
