#pragma once

#include "ArchiveBatch.h"

#include <QDateTime>
#include <QList>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

// Binds events to the rows of a prepared InsertStatement. Binding a value costs more than
// SQLite's storing of it, so the places have names (Qt makes up a name for every value bound
// by position), and a prepared statement keeps its values from one run to the next: a value
// equal to the one its place held at the last run is not bound again (the batch's controller
// and site name always, mostly the read time, code and channel).
class EventBinder
{
public:
    EventBinder(QSqlQuery &query, const ArchiveBatch &batch);

    // The INSERT of rows events that stores each once.
    static QString InsertStatement(int rows);

    // The event's values into the row-th row of the statement.
    void bind(int row, const ArchivedEvent &event);

    // A text as stored: a null QString would bind as SQL NULL, the text columns hold an empty
    // text instead.
    static QVariant Text(const QString &text);
    // A card as a number for the search, SQL NULL when it is not all digits.
    static QVariant CardNumber(const QString &card);

private:
    void bindAt(int place, QVariant value);
    QVariant readTimeText(const QDateTime &time);

    QSqlQuery &query_;
    const ArchiveBatch &batch_;
    QList<QVariant> bound_; // what each place of the statement holds
    QStringList names_;     // each place's name
    // The events of one read share their seconds, and formatting a time costs more than
    // storing its row.
    qint64 readSecond_ = 0;
    QString readTimeText_;
};
