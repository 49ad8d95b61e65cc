#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One family of device data group records (the records a parameter backup reads by code
// and index). The simulator keeps their values as fixed-width texts.
struct GroupFamily
{
    QByteArray letters;
    bool single = false; // one record, no index
    int indexDigits = 0; // minimum digits of the index; more are kept
    int valueWidth = 8;

    // The record code for an index, e.g. "BD01", "BA7", "MD1000"; the letters for a single record.
    QByteArray code(int index) const;

    static const QList<GroupFamily> &all();
    // The family whose letters start the text; nullptr when none does.
    static const GroupFamily *find(QByteArrayView code);
};
