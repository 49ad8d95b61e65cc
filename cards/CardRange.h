#pragma once

#include <QString>

class Settings;

// The card numbers a read from the controller walks, both ends included. The card window
// edits it, stores it as "CardNoMin" and "CardNoMax", and All Backup and the command line
// hand it to the read. An end that is empty or not a number falls back to 1 and 10500; the
// window does not require from <= to (then nothing is read).
class CardRange
{
public:
    static constexpr int DefaultFrom = 1;
    static constexpr int DefaultTo = 10500;
    static inline const QString FromSetting = QStringLiteral("CardNoMin");
    static inline const QString ToSetting = QStringLiteral("CardNoMax");

    CardRange() = default;
    CardRange(int from, int to) : from_(from), to_(to) {}

    // The integer value of each text (trimmed), or the default of its end.
    static CardRange FromTexts(const QString &from, const QString &to);
    static CardRange Stored(const Settings &settings);
    void store(Settings &settings) const;

    int from() const { return from_; }
    int to() const { return to_; }
    // What a read walks: card numbers are never negative and have at most seven digits.
    int first() const;
    int last() const;
    // How many numbers the read walks; 0 when from is above to.
    int count() const;

    bool operator==(const CardRange &) const = default;

private:
    int from_ = DefaultFrom;
    int to_ = DefaultTo;
};
