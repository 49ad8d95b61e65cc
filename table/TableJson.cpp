#include "TableJson.h"

#include "TableStore.h"

namespace {

void AppendJsonString(QString &out, const QString &text)
{
    out += u'"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"')
            out += u"\\\"";
        else if (u == u'\\')
            out += u"\\\\";
        else if (u == u'\n')
            out += u"\\n";
        else if (u == u'\r')
            out += u"\\r";
        else if (u == u'\t')
            out += u"\\t";
        else if (u < 0x20)
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    out += u'"';
}

} // namespace

QByteArray TableToJson(const TableStore &table)
{
    const TableContent &content = table.Content();
    QString out = QStringLiteral("{\"fields\":[");
    for (int i = 0; i < content.fields.size(); ++i) {
        const TableField &field = content.fields.at(i);
        if (i > 0)
            out += u',';
        out += u"{\"name\":";
        AppendJsonString(out, field.name);
        out += u",\"type\":";
        AppendJsonString(out, field.type);
        out += QStringLiteral(",\"width\":%1}").arg(field.size);
    }
    out += u"],\"rows\":[";
    for (int r = 0; r < content.rows.size(); ++r) {
        const QStringList &row = content.rows.at(r);
        out += QLatin1String(r > 0 ? ",{" : "{");
        for (int i = 0; i < content.fields.size(); ++i) {
            if (i > 0)
                out += u',';
            AppendJsonString(out, content.fields.at(i).name);
            out += u':';
            AppendJsonString(out, row.at(i));
        }
        out += u'}';
    }
    out += u"]}";
    return out.toUtf8();
}
