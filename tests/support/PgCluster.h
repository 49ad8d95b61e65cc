#pragma once

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUuid>
#include <memory>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// A throwaway PostgreSQL server for one suite or benchmark: a cluster of its own in a
// temporary folder, listening on 127.0.0.1 only, at a free port, with a socket folder of its
// own, password authentication over TCP; stopped and removed at the end. PostgreSQL refuses to
// run as root, so under root the server runs as the "postgres" user (or "nobody").
class PgCluster
{
public:
    static inline const QString User = QStringLiteral("kt480");

    PgCluster() : password_(QUuid::createUuid().toString(QUuid::Id128)) {}
    ~PgCluster() { stop(); }
    PgCluster(const PgCluster &) = delete;
    PgCluster &operator=(const PgCluster &) = delete;

    // The folder of the newest installed server's programs; empty when there is none.
    static QString ProgramFolder()
    {
        QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql"))
                                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCollator numeric;
        numeric.setNumericMode(true);
        std::sort(versions.begin(), versions.end(), numeric);
        for (auto it = versions.crbegin(); it != versions.crend(); ++it) {
            const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*it);
            if (QFile::exists(bin + QStringLiteral("/initdb")) &&
                QFile::exists(bin + QStringLiteral("/pg_ctl")))
                return bin;
        }
        return {};
    }

    // Creates and starts the cluster; false with the reason in error(). `durable`: the server
    // flushes to disk as a real one does (a benchmark); otherwise it does not (tests).
    bool start(bool durable = false)
    {
        bin_ = ProgramFolder();
        if (bin_.isEmpty())
            return fail(QStringLiteral("no PostgreSQL server is installed"));
        folder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/pg-XXXXXX"));
        if (!folder_->isValid())
            return fail(QStringLiteral("no temporary folder"));
        run_ = folder_->filePath(QStringLiteral("run"));
        QDir().mkpath(run_);
        const QString passwordFile = folder_->filePath(QStringLiteral("password"));
        QFile file(passwordFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(password_.toUtf8() + '\n') <= 0)
            return fail(QStringLiteral("cannot write the password file"));
        file.close();
        if (::geteuid() == 0) {
            const passwd *account = ::getpwnam("postgres");
            if (!account)
                account = ::getpwnam("nobody");
            if (!account)
                return fail(QStringLiteral("no unprivileged user to run the server as"));
            serverUser_ = QString::fromLocal8Bit(account->pw_name);
            ::chmod(QFile::encodeName(folder_->path()).constData(), 0755);
            ::chmod(QFile::encodeName(passwordFile).constData(), 0644);
            if (::chown(QFile::encodeName(run_).constData(), account->pw_uid, account->pw_gid) != 0)
                return fail(QStringLiteral("cannot give the folder to ") + serverUser_);
        }
        if (!runProgram(QStringLiteral("initdb"),
                        {QStringLiteral("-D"), dataFolder(), QStringLiteral("-U"), User,
                         QStringLiteral("--pwfile=") + passwordFile,
                         QStringLiteral("--auth-host=scram-sha-256"),
                         QStringLiteral("--auth-local=trust"), QStringLiteral("--no-sync"),
                         QStringLiteral("-E"), QStringLiteral("UTF8"),
                         QStringLiteral("--locale=C")}))
            return false;
        durable_ = durable;
        return startServer();
    }

    // Starts the server again after stop(), at the same port, with the same data.
    bool startServer()
    {
        if (port_ == 0) {
            QTcpServer probe;
            if (!probe.listen(QHostAddress::LocalHost, 0))
                return fail(QStringLiteral("no free port"));
            port_ = probe.serverPort();
        }
        QString options = QStringLiteral("-h 127.0.0.1 -p %1 -k %2").arg(port_).arg(run_);
        if (!durable_)
            options += QStringLiteral(" -c fsync=off -c synchronous_commit=off");
        running_ = runProgram(QStringLiteral("pg_ctl"),
                              {QStringLiteral("-D"), dataFolder(), QStringLiteral("-l"),
                               run_ + QStringLiteral("/server.log"), QStringLiteral("-o"), options,
                               QStringLiteral("-w"), QStringLiteral("-t"), QStringLiteral("60"),
                               QStringLiteral("start")});
        return running_;
    }

    // Stops the server at once, as a crash or a pulled cable would end it for a client.
    void stop()
    {
        if (!running_)
            return;
        runProgram(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), dataFolder(), QStringLiteral("-m"),
                    QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
        running_ = false;
    }

    // A new, empty database.
    bool createDatabase(const QString &name)
    {
        const QString connection = QStringLiteral("pg-cluster-admin");
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
            db.setHostName(QStringLiteral("127.0.0.1"));
            db.setPort(port_);
            db.setUserName(User);
            db.setPassword(password_);
            db.setDatabaseName(QStringLiteral("postgres"));
            ok = db.open() && QSqlQuery(db).exec(QStringLiteral("CREATE DATABASE ") + name);
            if (!ok)
                error_ = db.lastError().text();
            db.close();
        }
        QSqlDatabase::removeDatabase(connection);
        return ok;
    }

    QString address(const QString &database) const
    {
        return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(User).arg(port_).arg(database);
    }
    QString password() const { return password_; }
    quint16 port() const { return port_; }
    QString error() const { return error_; }

private:
    QString dataFolder() const { return run_ + QStringLiteral("/data"); }

    bool fail(const QString &problem)
    {
        error_ = problem;
        return false;
    }

    bool runProgram(const QString &name, const QStringList &arguments)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        const QString program = bin_ + QLatin1Char('/') + name;
        if (serverUser_.isEmpty())
            process.start(program, arguments);
        else
            process.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), serverUser_,
                                                                 QStringLiteral("--"), program} +
                                                         arguments);
        if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0)
            return true;
        return fail(name + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll()));
    }

    const QString password_;
    std::unique_ptr<QTemporaryDir> folder_;
    QString bin_;
    QString run_;
    QString serverUser_;
    quint16 port_ = 0;
    bool durable_ = false;
    bool running_ = false;
    QString error_;
};
