#include "RecordReader.h"

#include "Comm.h"
#include "EventDecoder.h"
#include "EventReply.h"
#include "ExchangePolicy.h"
#include "Language.h"
#include "ProgressState.h"
#include "RecordJournal.h"
#include "RecordTable.h"
#include "TableStore.h"

#include <limits>

namespace {

constexpr int Attempts = 5;

ExchangePolicy::Rule Rule(int minimumPayload)
{
    ExchangePolicy::Rule rule;
    rule.attempts = Attempts;
    rule.minimumPayload = minimumPayload;
    return rule;
}

// The number of events held, blanks around it ignored; nothing when the text is no count.
std::optional<qint64> CountIn(const QString &payload)
{
    bool ok = false;
    const qint64 count = payload.trimmed().toLongLong(&ok);
    return ok && count >= 0 ? std::optional<qint64>(count) : std::nullopt;
}

ExchangePolicy::Rule CountRule()
{
    ExchangePolicy::Rule rule = Rule(0);
    // A reply without a count says nothing about the log: it is asked again, and never read as 0.
    rule.payloadCheck = [](const QString &payload) { return CountIn(payload).has_value(); };
    return rule;
}

ExchangePolicy::Rule EventRule()
{
    ExchangePolicy::Rule rule = Rule(0);
    // An event has one of two layouts; a reply of another length is damaged.
    rule.payloadLengths = {EventReply::ShortLayout, EventReply::LongLayout};
    // A late "IM" reply taken for the reply to the next "IM" would add an event already read
    // and acknowledged as a new row.
    rule.lateReplyWindow = ExchangePolicy::LateReplyWindow;
    rule.confirmPossibleCopies = true;
    return rule;
}

QString ResultText(int result)
{
    switch (result) {
    case Comm::NotSent:
        return RecordReader::tr("the link is not open");
    case Comm::TimedOut:
        return RecordReader::tr("no reply");
    case Comm::CrcMismatch:
        return RecordReader::tr("damaged replies");
    case Comm::Accepted:
        return RecordReader::tr("a reply of the wrong length");
    case Comm::Incomplete:
        return RecordReader::tr("replies cut short");
    case Comm::Ambiguous:
        return RecordReader::tr("more than one reply at once");
    default:
        return RecordReader::tr("refused by the controller");
    }
}

} // namespace

RecordReader::RecordReader(Comm &comm, ProgressState &progress, const Language &language,
                           QObject *parent)
    : QObject(parent), comm_(comm), progress_(progress), language_(language)
{
}

std::optional<qint64> RecordReader::countQuery()
{
    if (!comm_.CommResume())
        return std::nullopt;
    ExchangePolicy policy(comm_, CountRule());
    const ExchangeReply reply = policy.send(QStringLiteral("ID"));
    return reply.accepted() ? CountIn(reply.payload) : std::nullopt;
}

ReadOutcome RecordReader::read(TableStore &table, RecordJournal &journal, qint64 limit)
{
    ReadOutcome outcome;
    outcome.limit = limit;
    if (!comm_.CommResume()) {
        outcome.problems << tr("The link to the controller cannot be opened.");
        outcome.remaining = countQuery();
        return outcome;
    }
    const qint64 maximum = qMin<qint64>(limit + 2, std::numeric_limits<int>::max());
    progress_.begin(language_.TableText(TextRow::RecordDataHint),
                    language_.TableText(TextRow::Reading), int(maximum), true);
    if (!table.Active() || table.IsEmpty())
        RecordTable::Recreate(table);

    qint64 handled = 0;
    QSet<QString> taken;
    int repeatsInARow = 0;
    bool ended = false;
    // Without a limit the number of events is not known until the log ends.
    const qint64 total = limit == NoLimit ? 0 : limit;
    progress_.setSteps(handled, total);
    while (!ended) {
        if (handled >= limit) {
            outcome.end = ReadOutcome::End::Limit;
            break;
        }
        if (progress_.stopRequested()) {
            outcome.end = ReadOutcome::End::Stopped;
            break;
        }
        const int duplicatesBefore = outcome.duplicates;
        ended = readOne(table, journal, taken, outcome) == Step::End;
        if (ended)
            break;
        ++handled;
        progress_.setSteps(handled, total);
        repeatsInARow = outcome.duplicates > duplicatesBefore ? repeatsInARow + 1 : 0;
        if (repeatsInARow >= MaxRepeatsInARow) {
            outcome.problems << tr("The controller sent the same event %n time(s) in a row "
                                   "although it confirmed each acknowledgement; the read stops.",
                                   nullptr, repeatsInARow);
            break;
        }
    }
    if (!outcome.remaining)
        outcome.remaining = countQuery();
    // The limit met the end of the log: nothing is left behind.
    if (outcome.end == ReadOutcome::End::Limit && outcome.remaining == 0)
        outcome.end = ReadOutcome::End::EndOfLog;
    progress_.end();
    return outcome;
}

RecordReader::Step RecordReader::readOne(TableStore &table, RecordJournal &journal,
                                         QSet<QString> &taken, ReadOutcome &outcome)
{
    progress_.advance();
    const QString text = language_.TableText(TextRow::Reading) + QLatin1Char(' ') +
                         RecordTable::RowNumberText(outcome.read + 1);
    progress_.setText(text);
    emit status(text);

    ExchangePolicy eventPolicy(comm_, EventRule());
    const ExchangeReply reply = eventPolicy.send(QStringLiteral("IM"));
    const std::optional<EventReply> event =
        reply.accepted() ? EventReply::parse(reply.payload, comm_.ReplyLength()) : std::nullopt;
    if (!event) {
        concludeWithoutEvent(reply, outcome);
        return Step::End;
    }

    // The same event again: the controller did not take the last acknowledgement and sends it
    // once more. It is in the table already; only the acknowledgement is due. The same pointer
    // with another event is a new one: a controller whose log was cleared counts from the
    // start again.
    const bool sentAgain = !journal.lastPointer().isEmpty() &&
                           event->pointer == journal.lastPointer() &&
                           (journal.lastRaw().isEmpty() || event->raw == journal.lastRaw());
    if (sentAgain) {
        ++outcome.duplicates;
    } else if (taken.contains(event->raw)) {
        // A reply to an earlier "IM" that came twice, in place of this one's lost reply: the
        // controller let that event go after its acknowledgement, so it is neither a row nor
        // acknowledged again.
        ++outcome.duplicates;
        return Step::Next;
    } else {
        DecodedEvent decoded = DecodeEvent(*event);
        decoded.record.IONO = RecordTable::RowNumberText(table.RecordCount() + 1);
        if (!journal.append({event->pointer, event->raw, decoded.record})) {
            outcome.problems << tr("The event cannot be kept on disk, so it was not "
                                   "acknowledged and stays in the controller:")
                             << journal.error();
            return Step::End;
        }
        RecordTable::Append(table, decoded.record);
        taken.insert(event->raw);
        ++outcome.read;
        if (!decoded.known)
            ++outcome.unknown;
    }

    ExchangePolicy ackPolicy(comm_, Rule(0));
    const ExchangeReply ack = ackPolicy.send(QStringLiteral("IN") + event->pointer);
    if (!ack.accepted()) {
        outcome.problems << tr("The controller did not confirm the acknowledgement of event %1 "
                               "(%2); the event is kept, and if the controller sends it again "
                               "it is taken once.")
                                .arg(event->pointer, ResultText(ack.result));
        return Step::End;
    }
    return Step::Next;
}

void RecordReader::concludeWithoutEvent(const ExchangeReply &reply, ReadOutcome &outcome)
{
    // A controller with no more events refuses "IM" or answers without an event; whether the
    // log is really empty, its count says.
    outcome.remaining = countQuery();
    if (outcome.remaining && *outcome.remaining == 0) {
        outcome.end = ReadOutcome::End::EndOfLog;
        return;
    }
    // Events before it may have been read: the message is about this one.
    outcome.problems << tr("The next event could not be read (%1).").arg(ResultText(reply.result));
}
