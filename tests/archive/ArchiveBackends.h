#pragma once

#include "PgCluster.h"

#include <QTest>
#include <memory>

// The two kinds of archive a suite runs its cases against: an SQLite file in the case's
// folder, and a new database of a PostgreSQL server of the suite's own. Where no server is
// installed, the PostgreSQL rows are skipped with a message saying so.
class ArchiveBackends
{
public:
    // Starts the server once; call from initTestCase. Clients find its password in
    // PGPASSWORD, as a site's workstations would.
    void start()
    {
        if (PgCluster::ProgramFolder().isEmpty())
            return;
        cluster_ = std::make_unique<PgCluster>();
        QVERIFY2(cluster_->start(), qPrintable(cluster_->error()));
        qputenv("PGPASSWORD", cluster_->password().toUtf8());
    }

    static void addColumn()
    {
        QTest::addColumn<bool>("postgres");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgresql") << true;
    }

    // A new, empty archive's address; a skip when PostgreSQL is asked for and not installed.
    QString fresh(bool postgres, const QString &folder)
    {
        if (!postgres)
            return folder + QStringLiteral("/archive-%1.db").arg(++count_);
        if (!cluster_) {
            QTest::qSkip("no PostgreSQL server installed (initdb, pg_ctl under "
                         "/usr/lib/postgresql): the PostgreSQL case is skipped",
                         __FILE__, __LINE__);
            return {};
        }
        const QString name = QStringLiteral("archive%1").arg(++count_);
        if (!cluster_->createDatabase(name)) {
            QTest::qFail(qPrintable(cluster_->error()), __FILE__, __LINE__);
            return {};
        }
        return cluster_->address(name);
    }

    PgCluster *cluster() const { return cluster_.get(); }

private:
    std::unique_ptr<PgCluster> cluster_;
    int count_ = 0;
};
