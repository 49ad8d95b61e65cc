#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

// How a read of the event log ended and what it brought.
struct ReadOutcome
{
    Q_DECLARE_TR_FUNCTIONS(ReadOutcome)

public:
    enum class End
    {
        EndOfLog, // the controller holds no more events
        Limit,    // as many events as asked for were handled
        Stopped,  // the user cancelled, after an event that was journalled and acknowledged
        Errors    // the link, the controller or the journal failed; see problems
    };

    End end = End::Errors;
    qint64 limit = 0;
    int read = 0;       // rows added to the table
    int unknown = 0;    // of those, events outside the catalogue, kept with code 0
    int duplicates = 0; // events the controller sent again after an acknowledgement was lost
    // What the controller still holds after the read; nothing when it did not say.
    std::optional<qint64> remaining;
    QStringList problems;

    bool complete() const { return end == End::EndOfLog || end == End::Limit; }
    // The closing message: how many events were read and why the read ended. `kept`: false
    // when the events read could not be kept where they had to go (a run that saves them
    // failed to), which makes it an error however the read ended.
    QString summary(bool kept = true) const;
    // "end-of-log", "limit", "stopped" or "errors".
    QString endName() const;
};
