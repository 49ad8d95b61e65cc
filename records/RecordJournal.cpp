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
const QString JournalPrefix = QStringLiteral("KT480NTV5-events-");
const QString JournalExtension = QStringLiteral(".journal");
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
    // Lines that hold no readable event.
    QList<JournalLine> unreadable;
    // The id of the opening the entries read last belong to.
    QString opening;
};

// An event with neither a date and time nor an event code is no event: a damaged line.
bool IsBlank(const EventRecord &record)
{
    return record.DataTime.trimmed().isEmpty() || record.iStatus.trimmed().isEmpty();
}

// `opening`: the id of the opening the entries before this one belong to.
std::optional<JournalEntry> ReadEntry(const QJsonObject &object, const QString &opening)
{
    const QJsonValue pointer = object.value(PointerKey);
    const QJsonValue raw = object.value(RawKey);
    const QJsonValue row = object.value(RowKey);
    // A journal of an earlier version kept no reply.
    if (!pointer.isString() || !(raw.isString() || raw.isUndefined()) || !row.isArray())
        return std::nullopt;
    const QJsonArray values = row.toArray();
    if (values.size() != EventRecord().values().size())
        return std::nullopt;
    QStringList texts;
    for (const QJsonValue &value : values) {
        if (!value.isString())
            return std::nullopt;
        texts << value.toString();
    }
    JournalEntry entry{pointer.toString(), raw.toString(), EventRecord::fromValues(texts)};
    if (IsBlank(entry.record))
        return std::nullopt;
    const QString entryOpening = object.value(OpeningKey).toString(opening);
    if (!entryOpening.isEmpty() && object.contains(NumberKey))
        entry.id =
            entryOpening + QLatin1Char('/') + QString::number(object.value(NumberKey).toInteger());
    if (object.contains(ReadTimeKey))
        entry.readTime =
            QDateTime::fromSecsSinceEpoch(object.value(ReadTimeKey).toInteger(), Qt::UTC);
    return entry;
}

std::optional<QJsonObject> JsonObject(const QByteArray &line)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

// Takes one line in; false when it holds nothing this journal writes.
bool TakeLine(ParsedJournal &parsed, const QByteArray &line)
{
    const std::optional<QJsonObject> object = JsonObject(line);
    if (!object)
        return false;
    if (object->contains(LastPointerKey)) {
        if (!object->value(LastPointerKey).isString())
            return false;
        parsed.lastPointer = object->value(LastPointerKey).toString();
        parsed.lastRaw = object->value(RawKey).toString();
        return true;
    }
    if (object->contains(SavingToKey)) {
        if (!object->value(SavingToKey).isArray())
            return false;
        parsed.savingTo.clear();
        for (const QJsonValue &value : object->value(SavingToKey).toArray())
            parsed.savingTo << value.toString();
        return true;
    }
    const std::optional<JournalEntry> entry = ReadEntry(*object, parsed.opening);
    if (!entry)
        return false;
    parsed.opening = object->value(OpeningKey).toString(parsed.opening);
    parsed.lastPointer = entry->pointer;
    parsed.lastRaw = entry->raw;
    parsed.entries << *entry;
    parsed.savingTo.clear();
    return true;
}

// Every line. One that holds no readable event (damaged on the disk, or edited by hand) is
// kept aside, never taken as an event: it may be the only trace of one. The caller names such
// lines (unreadableNote()), once: the file is read more than once in a run. The last piece,
// without a line end, is a line a crash cut short while it was written; such a line was never
// acknowledged, and is skipped unless it is whole.
ParsedJournal Parse(const QByteArray &bytes, const QString &path)
{
    ParsedJournal parsed;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (line.trimmed().isEmpty() || TakeLine(parsed, line))
            continue;
        const int number = int(i + 1);
        if (i == lines.size() - 1) {
            qCInfo(lcRecords) << path << "line" << number << "was cut short; skipped";
            continue;
        }
        parsed.unreadable.append({number, line});
    }
    return parsed;
}

// The rows of a record file or of a CSV file of the record table; nothing when it cannot be
// read.
std::optional<QList<EventRecord>> SavedRows(const QString &path)
{
    // A file the save never made (killed before it, or it failed) holds nothing: no warning.
    if (!QFileInfo::exists(path))
        return std::nullopt;
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
    return QDir(folder).filePath(JournalPrefix + name + JournalExtension);
}

bool RecordJournal::IsJournalFileName(const QString &fileName)
{
    return fileName.startsWith(JournalPrefix) &&
           fileName.indexOf(JournalExtension, JournalPrefix.size()) >= 0;
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
        unreadable_ = parsed.unreadable;
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
        return fail(tr("%1: cannot write the journal: %2").arg(path_, WriteFailureText(file_)));
    if (created)
        SyncFolderToDisk(QFileInfo(path_).absolutePath());
    // A line without its line end is closed when it is whole; a line a crash cut short goes
    // (it was never acknowledged), so that it is neither taken nor kept as a damaged line.
    QFile existing(path_);
    if (file_.size() == 0 || !existing.open(QIODevice::ReadOnly))
        return true;
    const QByteArray bytes = existing.readAll();
    if (bytes.endsWith('\n'))
        return true;
    const qsizetype lineStart = bytes.lastIndexOf('\n') + 1;
    const bool whole = JsonObject(bytes.mid(lineStart)).has_value();
    if (whole ? file_.write("\n") != 1 : !file_.resize(lineStart))
        return fail(tr("%1: cannot write the journal: %2").arg(path_, WriteFailureText(file_)));
    return true;
}

QList<JournalEntry> RecordJournal::pending() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Parse(file.readAll(), path_).entries;
}

QList<int> RecordJournal::unreadableLines() const
{
    QList<int> numbers;
    for (const JournalLine &line : unreadable_)
        numbers << line.number;
    return numbers;
}

QString RecordJournal::unreadableNote() const
{
    if (unreadable_.isEmpty())
        return {};
    QStringList numbers;
    for (const int number : unreadableLines())
        numbers << QString::number(number);
    return tr("%1: %n line(s) cannot be read as events (line %2); they are kept in the journal, "
              "and may each be an event that is in no file: look at them before the journal "
              "is removed.",
              nullptr, int(unreadable_.size()))
        .arg(path_, numbers.join(QStringLiteral(", ")));
}

bool RecordJournal::append(const JournalEntry &entry)
{
    if (!file_.isOpen())
        return fail(tr("%1: the journal is not open").arg(path_));
    if (IsBlank(entry.record))
        return fail(
            tr("%1: an event without date and time or event code is not journalled").arg(path_));
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
    return fail(tr("%1: cannot write the journal: %2").arg(path_, WriteFailureText(file_)));
}

bool RecordJournal::clearPending()
{
    if (!file_.isOpen())
        return fail(tr("%1: the journal is not open").arg(path_));
    file_.close();
    QSaveFile replacement(path_);
    // Lines that cannot be read stay: one may be an event no file holds.
    QByteArray kept;
    QList<JournalLine> renumbered;
    for (const JournalLine &line : std::as_const(unreadable_)) {
        kept += line.bytes + '\n';
        renumbered << JournalLine{int(renumbered.size()) + 1, line.bytes};
    }
    const QByteArray marker =
        lastPointer_.isEmpty() ? QByteArray() : LastPointerLine(lastPointer_, lastRaw_);
    const QByteArray content = kept + marker;
    if (!replacement.open(QIODevice::WriteOnly) || replacement.write(content) != content.size() ||
        !CommitWhole(replacement)) {
        openForAppending();
        return fail(
            tr("%1: cannot clear the journal: %2").arg(path_, WriteFailureText(replacement)));
    }
    pendingCount_ = 0;
    unreadable_ = renumbered;
    openingWritten_ = false;
    return openForAppending();
}
