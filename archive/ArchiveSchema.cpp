#include "ArchiveSchema.h"

QStringList ArchiveSchema::Step(int version, ArchiveAddress::Kind kind)
{
    const bool sqlite = kind == ArchiveAddress::Kind::SQLite;
    switch (version) {
    case 1:
        return {
            QStringLiteral("CREATE TABLE %1 (version INTEGER NOT NULL)").arg(VersionTable),
            QStringLiteral("INSERT INTO %1 (version) VALUES (0)").arg(VersionTable),
            // event_time: as the controller reported it ("2008/09/22 14:05:09", which sorts
            // as it reads); read_time: when it was read, UTC, ISO 8601, NULL when brought in
            // from a file; card: as sent, card_number: the same as a number, for the search.
            QStringLiteral("CREATE TABLE events ("
                           "id %1,"
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
                           "UNIQUE (controller, event_key))")
                .arg(sqlite ? QStringLiteral("INTEGER PRIMARY KEY")
                            : QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY")),
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
            QStringLiteral("CREATE INDEX events_by_card_month ON events ((%1), card_number, "
                           "event_time)")
                .arg(MonthOf(QStringLiteral("event_time"))),
        };
    default:
        return {};
    }
}
