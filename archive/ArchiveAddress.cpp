#include "ArchiveAddress.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const QString Scheme = QStringLiteral("postgresql://");

} // namespace

std::optional<ArchiveAddress> ArchiveAddress::parse(const QString &text, QString &error)
{
    const QString trimmed = text.trimmed();
    ArchiveAddress address;
    if (trimmed.isEmpty()) {
        error = tr("no archive given: a file path or postgresql://USER@HOST[:PORT]/NAME");
        return std::nullopt;
    }
    if (!trimmed.startsWith(Scheme, Qt::CaseInsensitive)) {
        address.path = QDir::cleanPath(trimmed);
        return address;
    }
    address.kind = Kind::PostgreSQL;
    const QString rest = trimmed.mid(Scheme.size());
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    // Not a word of what stands before the "@" is repeated: it may hold a password.
    if (at >= 0 && rest.left(at).contains(QLatin1Char(':'))) {
        error = tr("the archive address holds a password; give it in PGPASSWORD or ~/.pgpass "
                   "instead (it was not used)");
        return std::nullopt;
    }
    static const QRegularExpression form(QStringLiteral(
        R"(^([A-Za-z0-9_.-]+)@(\[[0-9A-Fa-f:.]+\]|[A-Za-z0-9_.-]+)(?::([0-9]{1,5}))?/([A-Za-z0-9_.-]+)$)"));
    const QRegularExpressionMatch match = form.match(rest);
    if (!match.hasMatch()) {
        error = tr("the archive address is not of the form postgresql://USER@HOST[:PORT]/NAME");
        return std::nullopt;
    }
    address.user = match.captured(1);
    address.host = match.captured(2);
    if (address.host.startsWith(QLatin1Char('[')))
        address.host = address.host.mid(1, address.host.size() - 2);
    if (!match.captured(3).isEmpty()) {
        address.port = match.captured(3).toInt();
        if (address.port < 1 || address.port > 65535) {
            error = tr("%1: the port must be 1 to 65535").arg(address.text());
            return std::nullopt;
        }
    }
    address.database = match.captured(4);
    return address;
}

QString ArchiveAddress::text() const
{
    if (kind == Kind::SQLite)
        return QDir::toNativeSeparators(path);
    const QString shownHost =
        host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return QStringLiteral("%1%2@%3:%4/%5").arg(Scheme, user, shownHost).arg(port).arg(database);
}
