#pragma once

#include <QString>
#include <QStringList>

// One row of the record table: the seven text fields, in the order the record file keeps them.
struct EventRecord
{
    QString IONO;     // 7 digits, the row's number in the table
    QString CardNO;   // as sent; the last two characters for "Invalid Card"; empty for others
    QString DataTime; // "yyyy/MM/dd hh:mm:ss"
    QString iStatus;  // event code; "0" for an event outside the catalogue
    QString SStatus;  // event text, always English
    QString iChannel;
    QString APB;

    bool operator==(const EventRecord &) const = default;

    QStringList values() const { return {IONO, CardNO, DataTime, iStatus, SStatus, iChannel, APB}; }
    static EventRecord fromValues(const QStringList &v)
    {
        return {v.value(0), v.value(1), v.value(2), v.value(3), v.value(4), v.value(5), v.value(6)};
    }
};
