#include "RecordFilter.h"

#include "RecordTable.h"
#include "TableStore.h"

namespace {

bool AllDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// Card numbers compare as numbers when both are digits (0001234 is card 1234).
bool SameCard(const QString &wanted, const QString &card)
{
    const QString trimmed = card.trimmed();
    if (AllDigits(wanted) && AllDigits(trimmed))
        return wanted.toULongLong() == trimmed.toULongLong();
    return wanted == trimmed;
}

} // namespace

std::optional<QDateTime> RecordFilter::parseDataTime(const QString &text)
{
    const QDateTime moment =
        QDateTime::fromString(text.trimmed(), QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    return moment.isValid() ? std::optional(moment) : std::nullopt;
}

std::optional<QDateTime> RecordFilter::parseMoment(const QString &text, bool endOfDay)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char('/'), QLatin1Char('-'));
    t.replace(QLatin1Char('T'), QLatin1Char(' '));
    const QDate date = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        return std::nullopt;
    const QString rest = t.mid(10).trimmed();
    if (rest.isEmpty())
        return QDateTime(date, endOfDay ? QTime(23, 59, 59) : QTime(0, 0));
    QTime time = QTime::fromString(rest, QStringLiteral("HH:mm:ss"));
    if (!time.isValid()) {
        time = QTime::fromString(rest, QStringLiteral("HH:mm"));
        if (time.isValid() && endOfDay)
            time = time.addSecs(59);
    }
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

bool RecordFilter::setCodes(const QString &text)
{
    QList<QPair<int, int>> ranges;
    for (const QString &part : text.split(QLatin1Char(','))) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        if (ends.size() > 2 || !AllDigits(ends.first()) || !AllDigits(ends.last()))
            return false;
        const int low = ends.first().toInt();
        const int high = ends.last().toInt();
        if (low > high)
            return false;
        ranges.append({low, high});
    }
    codeRanges = ranges;
    return true;
}

bool RecordFilter::matches(const EventRecord &record) const
{
    if (since || until) {
        const std::optional<QDateTime> at = parseDataTime(record.DataTime);
        if (!at || (since && *at < *since) || (until && *at > *until))
            return false;
    }
    if (card && !SameCard(*card, record.CardNO))
        return false;
    if (!codeRanges.isEmpty()) {
        bool ok = false;
        const int code = record.iStatus.trimmed().toInt(&ok);
        if (!ok)
            return false;
        bool inRange = false;
        for (const auto &[low, high] : codeRanges)
            inRange = inRange || (code >= low && code <= high);
        if (!inRange)
            return false;
    }
    return true;
}

void RecordFilter::apply(const TableStore &from, TableStore &to) const
{
    TableContent content;
    content.fields = from.Fields();
    for (int row = 0; row < from.RecordCount(); ++row) {
        if (isEmpty() || matches(RecordTable::RowAt(from, row)))
            content.rows << from.Content().rows.at(row);
    }
    to.Close();
    to.SetContent(std::move(content));
}
