#include "ArchiveSchema.h"

namespace {

// event_time: as the controller reported it ("2008/09/22 14:05:09", which sorts as it reads);
// read_time: when it was read, UTC, ISO 8601, NULL when brought in from a file; card: as sent,
// card_number: the same as a number, for the search. The unique columns store an event once.
QString EventsTable(const QString &name, const QString &unique, ArchiveAddress::Kind kind)
{
    return QStringLiteral("CREATE TABLE %1 ("
                          "id %2,"
                          "controller TEXT NOT NULL,"
                          "site_name TEXT NOT NULL,"
                          "event_key TEXT NOT NULL,"
                          "event_time TEXT NOT NULL,"
                          "read_time TEXT,"
                          "card TEXT NOT NULL,"
                          "card_number BIGINT,"
                          "code INTEGER NOT NULL,"
                          "event_text TEXT NOT NULL,"
                          "channel TEXT NOT NULL,"
                          "apb TEXT NOT NULL,"
                          "record_number TEXT NOT NULL,"
                          "record_pointer TEXT NOT NULL,"
                          "reply TEXT NOT NULL,"
                          "UNIQUE (%3))")
        .arg(name,
             kind == ArchiveAddress::Kind::SQLite
                 ? QStringLiteral("INTEGER PRIMARY KEY")
                 : QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY"),
             unique);
}

QString CardMonthIndex(const QString &columns)
{
    return QStringLiteral("CREATE INDEX events_by_card_month ON events ((%1), %2)")
        .arg(ArchiveSchema::MonthOf(QStringLiteral("event_time")), columns);
}

} // namespace

QStringList ArchiveSchema::Step(int version, ArchiveAddress::Kind kind)
{
    const bool sqlite = kind == ArchiveAddress::Kind::SQLite;
    switch (version) {
    case 1:
        return {
            QStringLiteral("CREATE TABLE %1 (version INTEGER NOT NULL)").arg(VersionTable),
            QStringLiteral("INSERT INTO %1 (version) VALUES (0)").arg(VersionTable),
            EventsTable(QStringLiteral("events"), QStringLiteral("controller, event_key"), kind),
            QStringLiteral("CREATE INDEX events_by_card ON events (card_number, event_time)"),
            QStringLiteral("CREATE INDEX events_by_controller ON events (controller, event_time)"),
            // Every name a site file gave a controller, for a search by name.
            QStringLiteral("CREATE TABLE controller_names (serial TEXT NOT NULL, site_name TEXT "
                           "NOT NULL, PRIMARY KEY (serial, site_name))"),
        };
    case 2:
        // A search by card seeks the card within each month: new events come in by month, so
        // storing a batch touches the index where its months are, not one place per card
        // across the whole archive (an index by card alone took most of a large insert).
        return {
            QStringLiteral("CREATE TABLE event_months (month TEXT NOT NULL PRIMARY KEY)"),
            QStringLiteral("INSERT INTO event_months (month) SELECT DISTINCT %1 FROM events")
                .arg(MonthOf(QStringLiteral("event_time"))),
            QStringLiteral("DROP INDEX events_by_card"),
            CardMonthIndex(QStringLiteral("card_number, event_time")),
        };
    case 3:
        // An event's key names one event, and one event has one time (the key is made from
        // what holds it: the journal entry, the controller's reply, a file row's fields). So
        // a unique (controller, time, key) stores an event once as (controller, key) did, and
        // its first columns serve the search by controller and period: one index fewer to
        // keep up at every insert. The index by card keeps no time: a card's events in a month
        // are few, and sorted once found. Together a third of a large insert.
        if (sqlite)
            // SQLite drops no constraint: the table is made anew, its ids kept.
            return {
                EventsTable(QStringLiteral("events_once"), OnceColumns, kind),
                QStringLiteral("INSERT INTO events_once (id, %1) SELECT id, %1 FROM events")
                    .arg(EventColumns),
                QStringLiteral("DROP TABLE events"),
                QStringLiteral("ALTER TABLE events_once RENAME TO events"),
                CardMonthIndex(QStringLiteral("card_number")),
            };
        return {
            QStringLiteral("ALTER TABLE events DROP CONSTRAINT events_controller_event_key_key"),
            QStringLiteral("ALTER TABLE events ADD CONSTRAINT events_once UNIQUE (%1)")
                .arg(OnceColumns),
            QStringLiteral("DROP INDEX events_by_controller"),
            QStringLiteral("DROP INDEX events_by_card_month"),
            CardMonthIndex(QStringLiteral("card_number")),
        };
    default:
        return {};
    }
}
