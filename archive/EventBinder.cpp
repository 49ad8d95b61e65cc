#include "EventBinder.h"

#include "ArchiveSchema.h"

namespace {

bool AllDigits(const QString &text)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

QString PlaceName(int place)
{
    return QStringLiteral(":v%1").arg(place);
}

} // namespace

EventBinder::EventBinder(QSqlQuery &query, const ArchiveBatch &batch) : query_(query), batch_(batch)
{
}

QString EventBinder::InsertStatement(int rows)
{
    QStringList values;
    for (int row = 0; row < rows; ++row) {
        QStringList places;
        for (int column = 0; column < ArchiveSchema::EventColumnCount; ++column)
            places << PlaceName(row * ArchiveSchema::EventColumnCount + column);
        values << QLatin1Char('(') + places.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    return QStringLiteral("INSERT INTO events (%1) VALUES %2 ON CONFLICT (%3) DO NOTHING")
        .arg(ArchiveSchema::EventColumns, values.join(QLatin1Char(',')),
             ArchiveSchema::OnceColumns);
}

QVariant EventBinder::Text(const QString &text)
{
    return text.isNull() ? QVariant(QStringLiteral("")) : QVariant(text);
}

QVariant EventBinder::CardNumber(const QString &card)
{
    const QString trimmed = card.trimmed();
    return AllDigits(trimmed) ? QVariant(trimmed.toLongLong())
                              : QVariant(QMetaType::fromType<qlonglong>());
}

void EventBinder::bind(int row, const ArchivedEvent &event)
{
    const EventRecord &r = event.record;
    int place = row * ArchiveSchema::EventColumnCount;
    for (QVariant value :
         {Text(batch_.controller), Text(batch_.siteName), Text(event.key), Text(r.DataTime),
          readTimeText(event.readTime), Text(r.CardNO), CardNumber(r.CardNO),
          QVariant(r.iStatus.trimmed().toInt()), Text(r.SStatus), Text(r.iChannel), Text(r.APB),
          Text(r.IONO), Text(event.pointer), Text(event.reply)})
        bindAt(place++, std::move(value));
}

void EventBinder::bindAt(int place, QVariant value)
{
    while (place >= names_.size())
        names_ << PlaceName(int(names_.size()));
    if (place >= bound_.size())
        bound_.resize(place + 1);
    QVariant &bound = bound_[place];
    // Every value bound is valid, a place not yet bound holds an invalid one. A null compares
    // equal to a zero or an empty text as variants: a card that is no number (NULL) must still
    // give way to card 0, and the other way round.
    if (bound.isValid() && bound.isNull() == value.isNull() && bound == value)
        return;
    query_.bindValue(names_[place], value);
    bound = std::move(value);
}

QVariant EventBinder::readTimeText(const QDateTime &time)
{
    if (!time.isValid())
        return QVariant(QMetaType::fromType<QString>());
    const qint64 second = time.toSecsSinceEpoch();
    if (second != readSecond_ || readTimeText_.isNull()) {
        readSecond_ = second;
        readTimeText_ = time.toUTC().toString(Qt::ISODate);
    }
    return readTimeText_;
}
