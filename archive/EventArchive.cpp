#include "EventArchive.h"

#include "ArchiveLog.h"
#include "ArchiveSchema.h"
#include "EventBinder.h"
#include "LoopbackOnly.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <algorithm>

namespace {

const QString SqliteDriver = QStringLiteral("QSQLITE");
const QString PostgresDriver = QStringLiteral("QPSQL");
const QByteArray SqliteHeader("SQLite format 3\0", 16);
// A writer waits this long for another to finish (a fleet's controllers all store at once).
constexpr int BusyTimeoutMs = 60000;
constexpr int ConnectTimeoutSeconds = 10;
constexpr int SqliteCacheKiB = 64 * 1024;
// Events to one INSERT: one round trip each for PostgreSQL. SQLite, in the process, stores
// single rows faster than long VALUES lists.
int RowsPerInsert(ArchiveAddress::Kind kind)
{
    return kind == ArchiveAddress::Kind::SQLite ? 1 : 100;
}
// Taken by every schema check of a PostgreSQL archive, so that two workstations opening a new
// archive at once do not both create it.
constexpr qint64 SchemaLockKey = 4804801;

QString MomentText(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}

} // namespace

EventArchive::EventArchive(ArchiveAddress address)
    : address_(std::move(address)),
      connectionName_(QStringLiteral("kt480.archive.") +
                      QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

EventArchive::~EventArchive()
{
    if (!db_.isValid())
        return;
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connectionName_);
}

bool EventArchive::fail(const QString &problem)
{
    error_ = address_.text() + QStringLiteral(": ") + problem;
    qCWarning(lcArchive).noquote() << error_;
    return false;
}

bool EventArchive::fail(const QString &what, const QSqlError &error)
{
    QString detail = error.text().trimmed();
    if (address_.kind == ArchiveAddress::Kind::SQLite) {
        // The SQLite result codes that have a plain cause.
        const int code = error.nativeErrorCode().toInt();
        if (code == 8)
            detail = tr("the archive cannot be written (read-only): %1").arg(detail);
        else if (code == 13)
            detail = tr("the disk is full: %1").arg(detail);
        else if (code == 26)
            detail = tr("not a database: %1").arg(detail);
        else if (code == 5)
            detail = tr("another program keeps the archive busy: %1").arg(detail);
    } else if (!db_.isOpen() || error.type() == QSqlError::ConnectionError ||
               error.nativeErrorCode().startsWith(QLatin1String("08")) ||
               error.nativeErrorCode().startsWith(QLatin1String("57P"))) {
        detail = tr("no connection to the database server: %1").arg(detail);
    }
    return fail(what + QStringLiteral(": ") + detail);
}

bool EventArchive::open(Use use)
{
    return connect(use) && checkSchema(use);
}

bool EventArchive::connect(Use use)
{
    const bool sqlite = address_.kind == ArchiveAddress::Kind::SQLite;
    const QString driver = sqlite ? SqliteDriver : PostgresDriver;
    if (!QSqlDatabase::isDriverAvailable(driver))
        return fail(sqlite ? tr("the SQLite driver of Qt SQL (libqt6sql6-sqlite) is not installed")
                           : tr("the PostgreSQL driver of Qt SQL (libqt6sql6-psql) is not "
                                "installed"));
    if (!sqlite && !HostAllowed(address_.host))
        return fail(HostRefusedText(address_.host));
    if (sqlite) {
        const QFileInfo file(address_.path);
        if (file.exists() && !file.isFile())
            return fail(tr("not a file"));
        if (!file.exists() && use == Use::Read)
            return fail(tr("there is no archive"));
        if (!file.exists() && !file.absoluteDir().exists())
            return fail(tr("the folder %1 does not exist")
                            .arg(QDir::toNativeSeparators(file.absolutePath())));
        if (file.exists() && file.size() > 0) {
            QFile header(address_.path);
            if (!header.open(QIODevice::ReadOnly))
                return fail(tr("cannot be read: %1").arg(header.errorString()));
            if (header.read(SqliteHeader.size()) != SqliteHeader)
                return fail(tr("not a database (not an SQLite file)"));
        }
    }
    db_ = QSqlDatabase::addDatabase(driver, connectionName_);
    if (sqlite) {
        db_.setDatabaseName(address_.path);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs);
        // A search opens a file it may write as a writer: an archive of an earlier version is
        // brought up to date first.
        readOnly_ = use == Use::Read && !QFileInfo(address_.path).isWritable();
        if (readOnly_)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db_.setConnectOptions(options);
    } else {
        // No password here: the client library takes it from PGPASSWORD or ~/.pgpass.
        db_.setHostName(address_.host);
        db_.setPort(address_.port);
        db_.setUserName(address_.user);
        db_.setDatabaseName(address_.database);
        db_.setConnectOptions(
            QStringLiteral("connect_timeout=%1;application_name=kt480").arg(ConnectTimeoutSeconds));
    }
    if (!db_.open())
        return fail(tr("cannot open the archive"), db_.lastError());
    // The indexes of a large archive do not fit SQLite's default page cache of 2 MiB: each
    // insert would read index pages back from the file.
    if (sqlite)
        return exec(QStringLiteral("PRAGMA cache_size = -%1").arg(SqliteCacheKiB),
                    tr("cannot open the archive"));
    return true;
}

bool EventArchive::exec(QSqlQuery &query, const QString &what)
{
    return query.exec() || fail(what, query.lastError());
}

bool EventArchive::exec(const QString &statement, const QString &what)
{
    QSqlQuery query(db_);
    return query.exec(statement) || fail(what, query.lastError());
}

bool EventArchive::begin()
{
    if (address_.kind == ArchiveAddress::Kind::SQLite)
        // Takes the write lock at once: a transaction that waits for it later could find
        // another writer in its way and fail instead of waiting.
        return exec(QStringLiteral("BEGIN IMMEDIATE"), tr("cannot begin a transaction"));
    return exec(QStringLiteral("BEGIN"), tr("cannot begin a transaction"));
}

bool EventArchive::commit()
{
    if (exec(QStringLiteral("COMMIT"), tr("the transaction did not commit")))
        return true;
    const QString error = error_;
    rollback();
    error_ = error;
    return false;
}

void EventArchive::rollback()
{
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("ROLLBACK")))
        qCInfo(lcArchive).noquote() << address_.text() << ": rollback:" << query.lastError().text();
}

bool EventArchive::checkSchema(Use use)
{
    const bool writing = use == Use::Write;
    if (writing) {
        if (!begin())
            return false;
        if (address_.kind == ArchiveAddress::Kind::PostgreSQL &&
            !exec(QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(SchemaLockKey),
                  tr("cannot lock the schema"))) {
            rollback();
            return false;
        }
    }
    const auto abandon = [&](bool result) {
        if (writing)
            rollback();
        return result;
    };
    QSqlQuery probe(db_);
    // A query fails where the file is no database, before tables() could tell.
    if (!probe.exec(address_.kind == ArchiveAddress::Kind::SQLite
                        ? QStringLiteral("SELECT count(*) FROM sqlite_master")
                        : QStringLiteral("SELECT 1")))
        return abandon(fail(tr("cannot read the archive"), probe.lastError()));
    probe.finish();
    const QStringList tables = db_.tables(QSql::Tables);
    int version = 0;
    if (tables.contains(ArchiveSchema::VersionTable)) {
        QSqlQuery read(db_);
        if (!read.exec(QStringLiteral("SELECT version FROM %1").arg(ArchiveSchema::VersionTable)) ||
            !read.next())
            return abandon(fail(tr("cannot read the archive's version"), read.lastError()));
        version = read.value(0).toInt();
    } else if (!tables.isEmpty()) {
        return abandon(fail(tr("the database of another program (it holds tables that are not "
                               "the archive's); nothing was changed")));
    } else if (!writing) {
        return fail(tr("not an archive yet: no events were stored there"));
    }
    if (version > ArchiveSchema::Latest)
        return abandon(fail(tr("made by a newer version of this program (archive version %1, "
                               "this program knows up to %2); nothing was changed")
                                .arg(version)
                                .arg(ArchiveSchema::Latest)));
    if (!writing) {
        if (version == ArchiveSchema::Latest)
            return true;
        const bool upgraded = !readOnly_ && checkSchema(Use::Write);
        if (upgraded)
            return true;
        if (version < ArchiveSchema::SearchableFrom)
            return readOnly_ ? fail(tr("archive version %1 is brought up to date at its first "
                                       "write, and this file cannot be written")
                                        .arg(version))
                             : false;
        // Where this program may not change the archive (a file it may only read, a role
        // that may only read), a version with the same tables is searched as it is.
        qCInfo(lcArchive).noquote()
            << address_.text() << ": searched as archive version" << version;
        error_.clear();
        return true;
    }
    if (!upgrade(version)) {
        rollback();
        return false;
    }
    return commit();
}

bool EventArchive::upgrade(int from)
{
    for (int version = from + 1; version <= ArchiveSchema::Latest; ++version) {
        for (const QString &statement : ArchiveSchema::Step(version, address_.kind)) {
            if (!exec(statement, tr("cannot bring the archive to version %1").arg(version)))
                return false;
        }
        qCInfo(lcArchive).noquote() << address_.text() << ": archive version" << version;
    }
    // Also where nothing was to be done: a write, so that an archive that takes none (a file
    // without write permission, a role that may only read) is named before events are read.
    return exec(QStringLiteral("UPDATE %1 SET version = %2")
                    .arg(ArchiveSchema::VersionTable)
                    .arg(ArchiveSchema::Latest),
                tr("cannot write to the archive"));
}

std::optional<EventArchive::Stored> EventArchive::store(const ArchiveBatch &batch)
{
    Stored stored;
    if (batch.events.isEmpty())
        return stored;
    if (!begin())
        return std::nullopt;
    bool ok = true;
    if (!batch.siteName.isEmpty()) {
        QSqlQuery name(db_);
        name.prepare(QStringLiteral("INSERT INTO controller_names (serial, site_name) VALUES "
                                    "(?, ?) ON CONFLICT (serial, site_name) DO NOTHING"));
        name.addBindValue(batch.controller);
        name.addBindValue(batch.siteName);
        ok = exec(name, tr("cannot store the controller's name"));
    }
    QList<const ArchivedEvent *> keyed;
    for (const ArchivedEvent &event : batch.events) {
        if (event.alikeOrdinal == 0)
            keyed << &event;
    }
    // The events known by their key first: a row without one is then measured against them.
    ok = ok && storeKeyed(keyed, batch, stored.added);
    for (qsizetype i = 0; ok && i < batch.events.size(); ++i) {
        if (batch.events[i].alikeOrdinal > 0)
            ok = storeAlike(batch.events[i], batch, stored.added);
    }
    ok = ok && storeMonths(batch);
    if (!ok) {
        const QString error = error_;
        rollback();
        error_ = error;
        return std::nullopt;
    }
    if (!commit())
        return std::nullopt;
    stored.present = int(batch.events.size()) - stored.added;
    qCInfo(lcArchive).noquote() << address_.text() << ": controller" << batch.controller << ":"
                                << stored.added << "events added," << stored.present
                                << "there already";
    return stored;
}

bool EventArchive::storeKeyed(const QList<const ArchivedEvent *> &events, const ArchiveBatch &batch,
                              int &added)
{
    const int rowsPerInsert = RowsPerInsert(address_.kind);
    const auto run = [&](QSqlQuery &insert, EventBinder &binder, qsizetype first, int rows) {
        for (int row = 0; row < rows; ++row)
            binder.bind(row, *events[first + row]);
        if (!exec(insert, tr("cannot store the events")))
            return false;
        added += insert.numRowsAffected();
        return true;
    };
    QSqlQuery whole(db_);
    EventBinder wholeBinder(whole, batch);
    if (events.size() >= rowsPerInsert &&
        !whole.prepare(EventBinder::InsertStatement(rowsPerInsert)))
        return fail(tr("cannot store the events"), whole.lastError());
    for (qsizetype first = 0; first < events.size(); first += rowsPerInsert) {
        const int rows = int(qMin<qsizetype>(rowsPerInsert, events.size() - first));
        if (rows == rowsPerInsert) {
            if (!run(whole, wholeBinder, first, rows))
                return false;
            continue;
        }
        QSqlQuery part(db_);
        if (!part.prepare(EventBinder::InsertStatement(rows)))
            return fail(tr("cannot store the events"), part.lastError());
        EventBinder partBinder(part, batch);
        if (!run(part, partBinder, first, rows))
            return false;
    }
    return true;
}

bool EventArchive::storeAlike(const ArchivedEvent &event, const ArchiveBatch &batch, int &added)
{
    const EventRecord &r = event.record;
    QSqlQuery count(db_);
    count.prepare(QStringLiteral("SELECT count(*) FROM events WHERE controller = ? AND "
                                 "event_time = ? AND card = ? AND code = ? AND channel = ? AND "
                                 "apb = ?"));
    for (const QVariant &value :
         {EventBinder::Text(batch.controller), EventBinder::Text(r.DataTime),
          EventBinder::Text(r.CardNO), QVariant(r.iStatus.trimmed().toInt()),
          EventBinder::Text(r.iChannel), EventBinder::Text(r.APB)})
        count.addBindValue(value);
    if (!exec(count, tr("cannot store the events")) || !count.next())
        return fail(tr("cannot store the events"), count.lastError());
    if (count.value(0).toLongLong() >= event.alikeOrdinal)
        return true;
    QSqlQuery insert(db_);
    if (!insert.prepare(EventBinder::InsertStatement(1)))
        return fail(tr("cannot store the events"), insert.lastError());
    EventBinder(insert, batch).bind(0, event);
    if (!exec(insert, tr("cannot store the events")))
        return false;
    added += insert.numRowsAffected();
    return true;
}

bool EventArchive::storeMonths(const ArchiveBatch &batch)
{
    // One event's time per month; the database cuts the month itself, so that it is the same
    // text as the index's. Times whose first characters are not plain ASCII go in one by one.
    QHash<QString, QString> months;
    QStringView previous;
    for (const ArchivedEvent &event : batch.events) {
        const QString &time = event.record.DataTime;
        const QStringView start = QStringView(time).left(ArchiveSchema::MonthCharacters);
        // A read's events come in time order: most share the month of the one before.
        if (!previous.isNull() && start == previous)
            continue;
        previous = start;
        const bool plain =
            std::all_of(start.cbegin(), start.cend(), [](QChar c) { return c.unicode() < 0x80; });
        months.insert(plain ? time.left(ArchiveSchema::MonthCharacters) : time, time);
    }
    QSqlQuery insert(db_);
    if (!insert.prepare(QStringLiteral("INSERT INTO event_months (month) VALUES (%1) ON CONFLICT "
                                       "(month) DO NOTHING")
                            .arg(ArchiveSchema::MonthOf(QStringLiteral("?")))))
        return fail(tr("cannot store the events"), insert.lastError());
    for (const QString &time : std::as_const(months)) {
        insert.addBindValue(EventBinder::Text(time));
        if (!exec(insert, tr("cannot store the events")))
            return false;
    }
    return true;
}

std::optional<QList<ArchivedRow>> EventArchive::query(const ArchiveQuery &q)
{
    QStringList conditions;
    QVariantList values;
    if (!q.controller.isEmpty()) {
        QSqlQuery names(db_);
        names.prepare(QStringLiteral("SELECT serial FROM controller_names WHERE site_name = ?"));
        names.addBindValue(q.controller);
        if (!exec(names, tr("cannot search the archive")))
            return std::nullopt;
        QStringList serials;
        while (names.next())
            serials << names.value(0).toString();
        if (serials.isEmpty()) {
            conditions << QStringLiteral("controller = ?");
            values << q.controller;
        } else {
            conditions
                << QStringLiteral("(controller = ? OR (controller IN (%1) AND site_name = ?))")
                       .arg(
                           QStringList(serials.size(), QStringLiteral("?")).join(QLatin1Char(',')));
            values << q.controller;
            for (const QString &serial : serials)
                values << serial;
            values << q.controller;
        }
    }
    if (q.filter.since) {
        conditions << QStringLiteral("event_time >= ?");
        values << MomentText(*q.filter.since);
    }
    if (q.filter.until) {
        conditions << QStringLiteral("event_time <= ?");
        values << MomentText(*q.filter.until);
    }
    if (q.filter.card) {
        const QVariant number = EventBinder::CardNumber(*q.filter.card);
        if (number.isNull()) {
            conditions << QStringLiteral("card = ?");
            values << QVariant(q.filter.card->trimmed());
        } else {
            // The months named as values, not as a subquery: only so does the index by month
            // and card serve (the database would otherwise read the whole index).
            const std::optional<QStringList> months = eventMonths();
            if (!months)
                return std::nullopt;
            if (months->isEmpty())
                return QList<ArchivedRow>();
            conditions << QStringLiteral("card_number = ? AND %1 IN (%2)")
                              .arg(ArchiveSchema::MonthOf(QStringLiteral("event_time")),
                                   QStringList(months->size(), QStringLiteral("?"))
                                       .join(QLatin1Char(',')));
            values << number;
            for (const QString &month : *months)
                values << month;
        }
    }
    if (!q.filter.codeRanges.isEmpty()) {
        QStringList ranges;
        for (const auto &[low, high] : q.filter.codeRanges) {
            ranges << QStringLiteral("code BETWEEN ? AND ?");
            values << low << high;
        }
        conditions << QLatin1Char('(') + ranges.join(QStringLiteral(" OR ")) + QLatin1Char(')');
    }
    QString statement = QStringLiteral(
        "SELECT controller, site_name, event_time, card, code, event_text, channel, apb, "
        "record_number, read_time FROM events");
    if (!conditions.isEmpty())
        statement += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    statement += QStringLiteral(" ORDER BY event_time, id");
    if (q.limit > 0) {
        statement += QStringLiteral(" LIMIT ?");
        values << q.limit;
    }
    QSqlQuery select(db_);
    select.setForwardOnly(true);
    if (!select.prepare(statement)) {
        fail(tr("cannot search the archive"), select.lastError());
        return std::nullopt;
    }
    for (const QVariant &value : values)
        select.addBindValue(value);
    if (!exec(select, tr("cannot search the archive")))
        return std::nullopt;
    QList<ArchivedRow> rows;
    while (select.next()) {
        ArchivedRow row;
        row.controller = select.value(0).toString();
        row.siteName = select.value(1).toString();
        row.record.DataTime = select.value(2).toString();
        row.record.CardNO = select.value(3).toString();
        row.record.iStatus = QString::number(select.value(4).toInt());
        row.record.SStatus = select.value(5).toString();
        row.record.iChannel = select.value(6).toString();
        row.record.APB = select.value(7).toString();
        row.record.IONO = select.value(8).toString();
        row.readTime = QDateTime::fromString(select.value(9).toString(), Qt::ISODate);
        rows << row;
    }
    if (select.lastError().isValid()) {
        fail(tr("cannot search the archive"), select.lastError());
        return std::nullopt;
    }
    return rows;
}

std::optional<QStringList> EventArchive::eventMonths()
{
    QSqlQuery select(db_);
    select.setForwardOnly(true);
    if (!select.exec(QStringLiteral("SELECT month FROM event_months"))) {
        fail(tr("cannot search the archive"), select.lastError());
        return std::nullopt;
    }
    QStringList months;
    while (select.next())
        months << select.value(0).toString();
    return months;
}

std::optional<qint64> EventArchive::eventCount()
{
    QSqlQuery count(db_);
    if (!count.exec(QStringLiteral("SELECT count(*) FROM events")) || !count.next()) {
        fail(tr("cannot count the events"), count.lastError());
        return std::nullopt;
    }
    return count.value(0).toLongLong();
}
