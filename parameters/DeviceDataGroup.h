#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// How a backup walks a group's indices.
enum class GroupStop
{
    TryEvery,                  // every index is tried
    FirstFailure,              // a family ends at its first failed read
    FirstFailureOrSixteenZeros // also ends at a reply of 16 zeros, which is not stored
};

// A family of controller records read by code and index during a parameter backup and
// written back by a restore. Families of one group are read one after the other.
struct DeviceDataGroup
{
    QStringList families; // two-letter codes
    int first = 0;        // index range; both 0 for codes without an index
    int last = 0;
    int indexDigits = 0; // the index's minimum digit count; 0 for codes without an index
    GroupStop stop = GroupStop::FirstFailure;
    bool storeEmptyReply = true;

    bool hasIndex() const { return indexDigits > 0; }
    // The code of one record: family and index ("MD001"), or the family alone.
    QString code(const QString &family, int index) const;
    // True when the code belongs to this group and its index lies in the range.
    bool holds(const QString &code) const;
};

inline constexpr char SixteenZeros[] = "0000000000000000";

// Family and index, the index padded with zeros to at least the given digits.
QString GroupCode(const QString &family, int index, int digits);

// The groups in backup order; the first is the "AF" range 1 to 100.
const QList<DeviceDataGroup> &DeviceDataGroups();

// Every code of the groups: page parameters AF01..AF100 and the device data records.
// Anything else (for example "HK", which deletes all cards) is not a parameter code.
bool IsCatalogueCode(const QString &code);
