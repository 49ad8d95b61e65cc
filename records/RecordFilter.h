#pragma once

#include "EventRecord.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <optional>

class TableStore;

// Which rows of a record table a report or an export takes: a time span, one card, event
// codes. Rows keep their record numbers, so that a report of one card points into the file.
class RecordFilter
{
public:
    std::optional<QDateTime> since;
    std::optional<QDateTime> until;
    std::optional<QString> card;
    QList<QPair<int, int>> codeRanges;

    bool isEmpty() const { return !since && !until && !card && codeRanges.isEmpty(); }
    bool matches(const EventRecord &record) const;
    // The rows of `from` that match, in order, into `to` (same fields).
    void apply(const TableStore &from, TableStore &to) const;

    // "2008-09-22", "2008/09/22", either with " 14:05" or "T14:05:09" after it. A date alone
    // stands for its first second, or with endOfDay for its last.
    static std::optional<QDateTime> parseMoment(const QString &text, bool endOfDay);
    // "11", "40-50", "41,43,47": false when the text is none of these forms.
    bool setCodes(const QString &text);
    // The form of DataTime: "2008/09/22 14:05:09".
    static std::optional<QDateTime> parseDataTime(const QString &text);
};
