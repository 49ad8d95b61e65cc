#include "ArchiveBatch.h"

#include "RecordTable.h"
#include "TableStore.h"

#include <QHash>

namespace {

// The fields, each with its length before it, so that no two different lists give one text.
QString Joined(const QStringList &fields)
{
    QString text;
    for (const QString &field : fields)
        text += QString::number(field.size()) + QLatin1Char(':') + field;
    return text;
}

QString AlikeText(const EventRecord &r)
{
    return Joined({r.DataTime, r.CardNO, r.iStatus, r.iChannel, r.APB});
}

} // namespace

ArchivedEvent ArchiveBatch::FromEntry(const JournalEntry &entry)
{
    ArchivedEvent event;
    event.record = entry.record;
    event.key = entry.id.isEmpty() ? QStringLiteral("reply:%1:%2").arg(entry.pointer, entry.raw)
                                   : QStringLiteral("journal:") + entry.id;
    event.pointer = entry.pointer;
    event.reply = entry.raw;
    event.readTime = entry.readTime;
    return event;
}

ArchiveBatch ArchiveBatch::FromJournal(const QString &controller, const QString &siteName,
                                       const QList<JournalEntry> &entries)
{
    ArchiveBatch batch{controller, siteName, {}};
    batch.events.reserve(entries.size());
    for (const JournalEntry &entry : entries)
        batch.events << FromEntry(entry);
    return batch;
}

ArchiveBatch ArchiveBatch::FromTable(const QString &controller, const QString &siteName,
                                     const TableStore &table, const QList<JournalEntry> &journalled)
{
    ArchiveBatch batch{controller, siteName, {}};
    // The entries not yet matched to a row, by their fields (a row's number may have changed
    // since it was journalled), oldest last.
    QHash<QString, QList<qsizetype>> entriesByRow;
    for (qsizetype i = journalled.size() - 1; i >= 0; --i)
        entriesByRow[AlikeText(journalled[i].record)] << i;
    QHash<QString, int> alike;
    for (int row = 0; row < table.RecordCount(); ++row) {
        const EventRecord record = RecordTable::RowAt(table, row);
        const QString text = AlikeText(record);
        const int ordinal = ++alike[text];
        const auto entries = entriesByRow.find(text);
        if (entries != entriesByRow.end() && !entries->isEmpty()) {
            batch.events << FromEntry(journalled[entries->takeLast()]);
            continue;
        }
        ArchivedEvent event;
        event.record = record;
        event.alikeOrdinal = ordinal;
        event.key = QStringLiteral("row:%1#%2").arg(text).arg(ordinal);
        batch.events << event;
    }
    return batch;
}
