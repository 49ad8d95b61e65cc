#pragma once

#include <QString>
#include <QStringList>

// One message of a Qt Linguist .ts file.
struct TsMessage
{
    QString context;
    QString source;
    bool numerus = false;
    // The translation, or each plural form of it.
    QStringList translations;
    // "unfinished", "vanished", "obsolete", or empty for a finished translation.
    QString type;

    // What identifies the message in the program: context, text and whether it counts.
    QString key() const;
};

// The messages of a .ts file; empty with `error` set when it cannot be read.
QList<TsMessage> ReadTsFile(const QString &path, QString *error = nullptr);
