#pragma once

#include "ArchiveAddress.h"
#include "ArchiveBatch.h"
#include "ArchiveQuery.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <optional>

class QSqlError;
class QSqlQuery;

// The event archive: every event read from any controller, in one database (SQLite, or
// PostgreSQL for several workstations), with the schema the program creates and upgrades
// itself. One object is one connection, used on the thread that made it. Every failure is
// named in error() with the archive's address; a batch is stored whole or not at all.
class EventArchive
{
    Q_DECLARE_TR_FUNCTIONS(EventArchive)

public:
    enum class Use
    {
        Read, // a missing SQLite file is not created
        Write // the archive is created where there is none, and must take writes
    };

    struct Stored
    {
        int added = 0;
        int present = 0; // in the archive already
    };

    explicit EventArchive(ArchiveAddress address);
    ~EventArchive();
    EventArchive(const EventArchive &) = delete;
    EventArchive &operator=(const EventArchive &) = delete;

    // Connects, and checks (for writing: creates or upgrades) the schema.
    bool open(Use use);
    const ArchiveAddress &address() const { return address_; }
    QString error() const { return error_; }

    // Stores the batch in one transaction: nothing, with error(), when it did not commit.
    std::optional<Stored> store(const ArchiveBatch &batch);
    // The events the query asks for, oldest first.
    std::optional<QList<ArchivedRow>> query(const ArchiveQuery &query);
    std::optional<qint64> eventCount();

private:
    bool connect(Use use);
    bool checkSchema(Use use);
    bool upgrade(int from);
    bool begin();
    bool commit();
    void rollback();
    bool exec(QSqlQuery &query, const QString &what);
    bool exec(const QString &statement, const QString &what);
    bool fail(const QString &problem);
    bool fail(const QString &what, const QSqlError &error);
    bool storeKeyed(const QList<const ArchivedEvent *> &events, const ArchiveBatch &batch,
                    int &added);
    bool storeAlike(const ArchivedEvent &event, const ArchiveBatch &batch, int &added);
    // Records the months of the batch's events, which a search by card goes through.
    bool storeMonths(const ArchiveBatch &batch);
    std::optional<QStringList> eventMonths();

    ArchiveAddress address_;
    QString connectionName_;
    QSqlDatabase db_;
    QString error_;
    bool readOnly_ = false; // an SQLite file opened for searching that may not be written
};
