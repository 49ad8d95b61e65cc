#include "RecordJournal.h"

#include "DiskSync.h"
#include "OrphanedLock.h"
#include "RecordFile.h"
#include "RecordTable.h"
#include "RecordsLog.h"
#include "TableCsv.h"
#include "TableStore.h"
#include "WholeFileCommit.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>
#include <algorithm>
#include <optional>

namespace {

const QString PointerKey = QStringLiteral("pointer");
const QString RawKey = QStringLiteral("raw");
const QString RowKey = QStringLiteral("row");
const QString LastPointerKey = QStringLiteral("lastPointer");
const QString SavingToKey = QStringLiteral("savingTo");
const QString OpeningKey = QStringLiteral("opening");
const QString NumberKey = QStringLiteral("n");
const QString ReadTimeKey = QStringLiteral("t");

// `opening`: the opening's id, on its first entry only (empty on the others).
QByteArray EntryLine(const JournalEntry &entry, const QString &opening, int number, qint64 readTime)
{
    QJsonObject object{{PointerKey, entry.pointer},
                       {RawKey, entry.raw},
                       {RowKey, QJsonArray::fromStringList(entry.record.values())},
                       {NumberKey, number},
                       {ReadTimeKey, readTime}};
    if (!opening.isEmpty())
        object.insert(OpeningKey, opening);
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

QByteArray LastPointerLine(const QString &pointer, const QString &raw)
{
    return QJsonDocument(QJsonObject{{LastPointerKey, pointer}, {RawKey, raw}})
               .toJson(QJsonDocument::Compact) +
           '\n';
}

struct ParsedJournal
{
    QList<JournalEntry> entries;
    QString lastPointer;
    QString lastRaw;
    // The files named by a save that began after the last entry.
    QStringList savingTo;
};

// Every complete line; a line cut short by a crash was never acknowledged and is skipped.
ParsedJournal Parse(const QByteArray &bytes, const QString &path)
{
    ParsedJournal parsed;
    QString opening;
    int lineNumber = 0;
    for (const QByteArray &line : bytes.split('\n')) {
        ++lineNumber;
        if (line.trimmed().isEmpty())
            continue;
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (object.contains(LastPointerKey)) {
            parsed.lastPointer = object.value(LastPointerKey).toString();
            parsed.lastRaw = object.value(RawKey).toString();
            continue;
        }
        if (object.contains(SavingToKey)) {
            parsed.savingTo.clear();
            for (const QJsonValue &value : object.value(SavingToKey).toArray())
                parsed.savingTo << value.toString();
            continue;
        }
        if (!object.contains(RowKey)) {
            qCWarning(lcRecords) << path << "line" << lineNumber << "is incomplete; skipped";
            continue;
        }
        QStringList values;
        for (const QJsonValue &value : object.value(RowKey).toArray())
            values << value.toString();
        JournalEntry entry{object.value(PointerKey).toString(), object.value(RawKey).toString(),
                           EventRecord::fromValues(values)};
        if (object.contains(OpeningKey))
            opening = object.value(OpeningKey).toString();
        if (!opening.isEmpty() && object.contains(NumberKey))
            entry.id =
                opening + QLatin1Char('/') + QString::number(object.value(NumberKey).toInteger());
        if (object.contains(ReadTimeKey))
            entry.readTime =
                QDateTime::fromSecsSinceEpoch(object.value(ReadTimeKey).toInteger(), Qt::UTC);
        parsed.lastPointer = entry.pointer;
        parsed.lastRaw = entry.raw;
        parsed.entries << entry;
        parsed.savingTo.clear();
    }
    return parsed;
}

// The rows of a record file or of a CSV file of the record table; nothing when it cannot be
// read.
std::optional<QList<EventRecord>> SavedRows(const QString &path)
{
    TableStore table;
    const bool csv = path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    const TableResult read = csv ? ReadCsvFile(path, table) : RecordFile::Load(table, path);
    if (!read || !RecordTable::HasRecordFields(table))
        return std::nullopt;
    QList<EventRecord> rows;
    for (int row = 0; row < table.RecordCount(); ++row) {
        EventRecord record = RecordTable::RowAt(table, row);
        record.IONO.clear();
        rows << record;
    }
    return rows;
}

// Whether every file holds the entries, in their order and one after the other, as the
// record table holds them (numbers apart).
bool SavedIn(const QStringList &paths, const QList<JournalEntry> &entries)
{
    TableStore table;
    RecordTable::Recreate(table);
    for (const JournalEntry &entry : entries)
        RecordTable::Append(table, entry.record);
    QList<EventRecord> wanted;
    for (int row = 0; row < table.RecordCount(); ++row) {
        EventRecord record = RecordTable::RowAt(table, row);
        record.IONO.clear();
        wanted << record;
    }
    for (const QString &path : paths) {
        const std::optional<QList<EventRecord>> rows = SavedRows(path);
        if (!rows || std::search(rows->cbegin(), rows->cend(), wanted.cbegin(), wanted.cend()) ==
                         rows->cend())
            return false;
    }
    return !paths.isEmpty();
}

} // namespace

QString RecordJournal::Folder(const QString &settingsFilePath)
{
    const QString chosen = qEnvironmentVariable("KT480_JOURNAL_DIR");
    if (!chosen.isEmpty())
        return chosen;
    return QFileInfo(settingsFilePath).absolutePath();
}

QString RecordJournal::PathFor(const QString &folder, const QString &serialNumber)
{
    QString name = serialNumber.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return QDir(folder).filePath(QStringLiteral("KT480NTV5-events-%1.journal").arg(name));
}

RecordJournal::RecordJournal(QString path)
    : path_(std::move(path)), openingId_(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

RecordJournal::~RecordJournal() = default;

bool RecordJournal::fail(const QString &message)
{
    error_ = message;
    qCWarning(lcRecords).noquote() << message;
    return false;
}

bool RecordJournal::open()
{
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder))
        return fail(tr("%1: cannot create the folder").arg(folder));
    const QString lockPath = path_ + QStringLiteral(".lock");
    lock_ = std::make_unique<QLockFile>(lockPath);
    // Held for as long as a window stays open: only a lock whose program has ended is stale.
    lock_->setStaleLockTime(0);
    if (!lock_->tryLock(0) && RemoveOrphanedLockFiles(lockPath)) {
        qCInfo(lcRecords).noquote()
            << lockPath << ": lock files left empty by a program that ended were removed";
        lock_->tryLock(0);
    }
    if (!lock_->isLocked()) {
        lock_.reset();
        return fail(tr("%1: another program is reading this controller's events").arg(path_));
    }
    QFile existing(path_);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return fail(tr("%1: cannot read the journal: %2").arg(path_, existing.errorString()));
        const ParsedJournal parsed = Parse(existing.readAll(), path_);
        pendingCount_ = int(parsed.entries.size());
        lastPointer_ = parsed.lastPointer;
        lastRaw_ = parsed.lastRaw;
        existing.close();
        // A save completed and the program ended before it could forget the events.
        if (pendingCount_ > 0 && SavedIn(parsed.savingTo, parsed.entries)) {
            qCInfo(lcRecords).noquote() << path_ << ": the unsaved events are in"
                                        << parsed.savingTo.join(u' ') << "already";
            return openForAppending() && clearPending();
        }
    }
    return openForAppending();
}

bool RecordJournal::openForAppending()
{
    const bool created = !QFileInfo::exists(path_);
    file_.setFileName(path_);
    if (!file_.open(QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered))
        return fail(tr("%1: cannot write the journal: %2").arg(path_, file_.errorString()));
    if (created)
        SyncFolderToDisk(QFileInfo(path_).absolutePath());
    // A line a crash cut short is closed, so that the next entry starts a line of its own.
    if (file_.size() > 0) {
        QFile tail(path_);
        if (tail.open(QIODevice::ReadOnly) && tail.seek(file_.size() - 1) && tail.read(1) != "\n" &&
            file_.write("\n") != 1)
            return fail(tr("%1: cannot write the journal: %2").arg(path_, file_.errorString()));
    }
    return true;
}

QList<JournalEntry> RecordJournal::pending() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Parse(file.readAll(), path_).entries;
}

bool RecordJournal::append(const JournalEntry &entry)
{
    if (!file_.isOpen())
        return fail(tr("%1: the journal is not open").arg(path_));
    const QByteArray line = EntryLine(entry, openingWritten_ ? QString() : openingId_,
                                      appended_ + 1, QDateTime::currentSecsSinceEpoch());
    const qint64 before = file_.size();
    const qint64 written = file_.write(line);
    if (written == line.size() && SyncFileToDisk(file_)) {
        openingWritten_ = true;
        ++appended_;
        ++pendingCount_;
        lastPointer_ = entry.pointer;
        lastRaw_ = entry.raw;
        return true;
    }
    const QString reason = written < 0 || file_.error() != QFileDevice::NoError
                               ? file_.errorString()
                               : tr("the disk is full or the file too large");
    // No half line may stay for the next entry to run into.
    if (!file_.resize(before))
        file_.close();
    return fail(tr("%1: cannot write the journal: %2").arg(path_, reason));
}

bool RecordJournal::noteSaving(const QStringList &filePaths)
{
    if (!file_.isOpen())
        return fail(tr("%1: the journal is not open").arg(path_));
    QJsonArray paths;
    for (const QString &path : filePaths)
        paths.append(QFileInfo(path).absoluteFilePath());
    const QByteArray line =
        QJsonDocument(QJsonObject{{SavingToKey, paths}}).toJson(QJsonDocument::Compact) + '\n';
    if (file_.write(line) == line.size() && SyncFileToDisk(file_))
        return true;
    return fail(tr("%1: cannot write the journal: %2").arg(path_, file_.errorString()));
}

bool RecordJournal::clearPending()
{
    if (!file_.isOpen())
        return fail(tr("%1: the journal is not open").arg(path_));
    file_.close();
    QSaveFile replacement(path_);
    const QByteArray marker =
        lastPointer_.isEmpty() ? QByteArray() : LastPointerLine(lastPointer_, lastRaw_);
    if (!replacement.open(QIODevice::WriteOnly) || replacement.write(marker) != marker.size() ||
        !CommitWhole(replacement)) {
        openForAppending();
        return fail(tr("%1: cannot clear the journal: %2").arg(path_, replacement.errorString()));
    }
    pendingCount_ = 0;
    openingWritten_ = false;
    return openForAppending();
}
