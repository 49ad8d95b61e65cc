#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One code and its value text as read from, or confirmed by, the controller.
struct ParamValue
{
    QString code;
    QString value;
};

// The outcome of a parameter operation: whether everything succeeded, which codes failed
// and why (one English line per problem), and the values read or confirmed, in order.
struct ParamResult
{
    bool success = true;
    QStringList failedCodes;
    QStringList messages;
    QList<ParamValue> values;

    void fail(const QString &code, const QString &message);
    void fail(const QString &message);
    void merge(const ParamResult &other);
    QString valueOf(const QString &code) const;

    // "OK!", or "Error!" followed by the messages, one per line.
    QString reportText() const;
};

// Codes for a message, at most `shown` of them and then how many more there are.
QString CodeList(const QStringList &codes, int shown = 20);
