#include "TableContent.h"

int TableContent::FieldIndex(QStringView name) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name == name)
            return i;
    }
    return -1;
}

bool IsStorableFieldName(QStringView name)
{
    if (name.isEmpty() || name == u"RowState")
        return false;
    const QChar first = name.front();
    if (!first.isLetter() && first != u'_')
        return false;
    for (const QChar c : name) {
        const bool allowed =
            c.isLetterOrNumber() || c.isMark() || c == u'_' || c == u'-' || c == u'.';
        if (!allowed)
            return false;
    }
    return true;
}

int CharacterCount(QStringView text)
{
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
            ++count;
    }
    return count;
}

QString CutToFieldSize(const QString &text, const TableField &field)
{
    if (field.type != StringFieldType || field.size <= 0 || text.size() <= field.size)
        return text;
    qsizetype end = 0;
    for (int characters = 0; characters < field.size && end < text.size(); ++characters) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size() &&
                          text.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return text.left(end);
}
