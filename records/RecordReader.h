#pragma once

#include "ReadOutcome.h"

#include <QObject>
#include <QSet>
#include <optional>

class Comm;
class Language;
class ProgressState;
class RecordJournal;
class TableStore;
struct ExchangeReply;

// Reads the controller's event log: the count query ("ID") and the read of event after event
// ("IM"), each acknowledged ("IN") so that the controller moves on and forgets it. An event
// is written to the journal before its acknowledgement, an event the controller sends again
// (its acknowledgement was lost) is taken once, and every event is kept, also one outside the
// catalogue. The read stops after the event in hand when the user cancels.
class RecordReader : public QObject
{
    Q_OBJECT

public:
    // The limit when the controller did not report how many events it holds.
    static constexpr qint64 NoLimit = 9999999;
    // An event sent again this many times in a row, each time confirmed acknowledged, is a
    // controller that does not let it go: the read stops instead of running on without end.
    static constexpr int MaxRepeatsInARow = 3;

    RecordReader(Comm &comm, ProgressState &progress, const Language &language,
                 QObject *parent = nullptr);

    // How many events the controller holds; nothing when it did not answer.
    std::optional<qint64> countQuery();
    // Appends up to `limit` events to the table (recreated when inactive or empty), each
    // journalled before it is acknowledged.
    ReadOutcome read(TableStore &table, RecordJournal &journal, qint64 limit);

signals:
    // The status-bar text of the running step ("Reading ... 0000001").
    void status(const QString &text);

private:
    enum class Step
    {
        Next,
        End
    };

    // `taken`: the replies of the events this read has taken.
    Step readOne(TableStore &table, RecordJournal &journal, QSet<QString> &taken,
                 ReadOutcome &outcome);
    // Why an "IM" got no event: the log is empty, or something failed.
    void concludeWithoutEvent(const ExchangeReply &reply, ReadOutcome &outcome);

    Comm &comm_;
    ProgressState &progress_;
    const Language &language_;
};
