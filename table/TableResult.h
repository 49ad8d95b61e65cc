#pragma once

#include <QString>

// Outcome of a file operation of the table store: success, or a message for the user that
// names the file (and, for a bad file, the line and column).
class TableResult
{
public:
    static TableResult Success() { return TableResult(QString(), true); }
    static TableResult Failure(const QString &message) { return TableResult(message, false); }

    bool ok() const { return ok_; }
    const QString &error() const { return error_; }
    explicit operator bool() const { return ok_; }

private:
    TableResult(const QString &error, bool ok) : error_(error), ok_(ok) {}

    QString error_;
    bool ok_;
};
