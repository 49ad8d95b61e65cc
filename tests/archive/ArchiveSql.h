#pragma once

#include "ArchiveAddress.h"
#include "ArchiveSchema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>

// An archive (an SQLite file or a PostgreSQL address) reached outside the archive's own code:
// to make one as an earlier version left it, and to read what it holds.

inline ArchiveAddress Address(const QString &text)
{
    QString error;
    return ArchiveAddress::parse(text, error).value_or(ArchiveAddress());
}

// A connection to an archive outside the archive's own code.
inline QSqlDatabase RawDatabase(const QString &text, const QString &connection)
{
    const ArchiveAddress address = Address(text);
    if (address.kind == ArchiveAddress::Kind::SQLite) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(address.path);
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
    db.setHostName(address.host);
    db.setPort(address.port);
    db.setUserName(address.user);
    db.setDatabaseName(address.database);
    return db;
}

// Runs statements on an archive (an SQLite file or a PostgreSQL address) outside its own code.
inline void RunSql(const QString &address, const QStringList &statements)
{
    {
        QSqlDatabase db = RawDatabase(address, QStringLiteral("raw"));
        QVERIFY2(db.open(), qPrintable(db.lastError().text()));
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            QVERIFY2(query.exec(statement),
                     qPrintable(statement + QStringLiteral(": ") + query.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

// The schema version an archive records, read outside the archive's own code; -1 when it has
// none.
inline int StoredVersion(const QString &address)
{
    int version = -1;
    {
        QSqlDatabase db = RawDatabase(address, QStringLiteral("check"));
        if (db.open()) {
            QSqlQuery read(db);
            if (read.exec(QStringLiteral("SELECT version FROM kt480_archive_schema")) &&
                read.next()) {
                const int first = read.value(0).toInt();
                version = read.next() ? -1 : first;
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return version;
}

// The statements that make an archive of an earlier version with two events of card 42,
// in December 2023 and January 2024, as that version stored them.
inline QStringList OldArchive(const QString &address, int version)
{
    QStringList statements;
    for (int step = 1; step <= version; ++step)
        statements << ArchiveSchema::Step(step, Address(address).kind);
    statements << QStringLiteral("UPDATE kt480_archive_schema SET version = %1").arg(version);
    for (const QString &time :
         {QStringLiteral("2023/12/31 23:00:00"), QStringLiteral("2024/01/05 10:00:00")})
        statements << QStringLiteral(
                          "INSERT INTO events (controller, site_name, event_key, event_time, "
                          "card, card_number, code, event_text, channel, apb, record_number, "
                          "record_pointer, reply) VALUES ('12345678', '', 'k%1', '%2', "
                          "'0042', 42, 11, 'In check OK', '1', '0', '1', '1', 'raw')")
                          .arg(statements.size())
                          .arg(time);
    if (version >= 2)
        statements << QStringLiteral("INSERT INTO event_months (month) VALUES ('2023/12'), "
                                     "('2024/01')");
    return statements;
}
