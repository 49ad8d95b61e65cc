#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>

// Where the event archive lives, as the user names it: a file path (SQLite) or
// postgresql://USER@HOST[:PORT]/NAME. The address never holds a password: the PostgreSQL
// client library takes it from PGPASSWORD or ~/.pgpass itself, so this program never sees,
// shows, logs or traces it.
struct ArchiveAddress
{
    Q_DECLARE_TR_FUNCTIONS(ArchiveAddress)

public:
    enum class Kind
    {
        SQLite,
        PostgreSQL
    };
    static constexpr int DefaultPort = 5432;
    // The settings value that names the archive the record window stores into.
    static inline const QString Setting = QStringLiteral("EventArchive");

    Kind kind = Kind::SQLite;
    QString path; // SQLite
    QString user; // PostgreSQL
    QString host;
    int port = DefaultPort;
    QString database;

    // Nothing, with the reason in error, when the text is no address.
    static std::optional<ArchiveAddress> parse(const QString &text, QString &error);
    // The address as messages name it.
    QString text() const;
};
