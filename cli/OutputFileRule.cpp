#include "OutputFileRule.h"

#include "RecordJournal.h"
#include "RecordTable.h"
#include "Settings.h"
#include "TableCsv.h"
#include "TableStore.h"
#include "VerbTable.h"
#include "XmlPathRule.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>

namespace {

struct Place
{
    QString label; // as the refusal names it: "--pdf report.pdf", or the path given
    QString path;
    FileUse use = FileUse::Reads;
    bool controllerFolders = false;

    bool written() const { return use != FileUse::Reads; }
};

// The absolute path with links resolved, as the system resolves them, as far as the path
// exists; the part that does not exist yet follows as written.
QString Resolved(const QString &path)
{
    QString existing = QFileInfo(path).absoluteFilePath();
    QString missing;
    while (!QFileInfo::exists(existing)) {
        const qsizetype slash = existing.lastIndexOf(u'/');
        if (slash <= 0)
            return QDir::cleanPath(existing + missing);
        missing.prepend(existing.mid(slash));
        existing.truncate(slash);
    }
    return QDir::cleanPath(QFileInfo(existing).canonicalFilePath() + missing);
}

bool SameFile(const Place &a, const Place &b)
{
    if (QFileInfo::exists(a.path) && QFileInfo::exists(b.path)) {
        std::error_code error;
        return std::filesystem::equivalent(QFile::encodeName(a.path).toStdString(),
                                           QFile::encodeName(b.path).toStdString(), error);
    }
    return Resolved(a.path) == Resolved(b.path);
}

// Whether the file lies in a subfolder of the folder (DIR/NAME/...).
bool InControllerFolder(const Place &file, const Place &folder)
{
    const QString relative = QDir(Resolved(folder.path)).relativeFilePath(Resolved(file.path));
    return !relative.startsWith(QLatin1String("..")) && relative.contains(u'/');
}

QList<Place> Places(const VerbForm &form, const QCommandLineParser &parser,
                    const QStringList &arguments)
{
    QList<Place> places;
    for (const FileArgument &file : form.files) {
        QString given;
        QString label;
        if (!file.option.isEmpty()) {
            if (!parser.isSet(file.option))
                continue;
            given = parser.value(file.option);
            label = QStringLiteral("--%1 %2").arg(file.option, given);
        } else {
            given = arguments.value(file.position - 1);
            label = given;
        }
        if (given.trimmed().isEmpty())
            continue;
        if (file.xmlExtension) {
            given = WithXmlExtension(given.trimmed());
            label =
                file.option.isEmpty() ? given : QStringLiteral("--%1 %2").arg(file.option, given);
        }
        if (file.within.isEmpty()) {
            places.append({label, given, file.use, file.controllerFolders});
            continue;
        }
        for (const QString &name : file.within) {
            const QString path = QDir(given).filePath(name);
            places.append({path, path, file.use, false});
        }
    }
    const QString trace = VerbTable::TraceOption().name;
    if (form.accepts(trace) && parser.isSet(trace) && !parser.value(trace).isEmpty())
        places.append({QStringLiteral("--trace ") + parser.value(trace), parser.value(trace),
                       FileUse::Writes, false});
    return places;
}

QString Conflict(const Place &a, const Place &b)
{
    if (!a.written() && !b.written())
        return {};
    if (a.controllerFolders || b.controllerFolders) {
        const Place &folder = a.controllerFolders ? a : b;
        const Place &file = a.controllerFolders ? b : a;
        if (file.controllerFolders || !InControllerFolder(file, folder))
            return {};
        return QStringLiteral("%1 lies in a controller folder of %2, which this run %3; nothing "
                              "was done")
            .arg(file.label, folder.label,
                 folder.written() ? QStringLiteral("replaces") : QStringLiteral("reads"));
    }
    if (!SameFile(a, b))
        return {};
    if (a.written() && b.written())
        return QStringLiteral("%1 and %2 are the same file; each output needs a file of its "
                              "own; nothing was done")
            .arg(a.label, b.label);
    return QStringLiteral("%1 and %2 are the same file; kt480ctl does not write over a file it "
                          "reads; nothing was done")
        .arg(a.label, b.label);
}

// An event file gets the new events after its own; one that exists must hold the record table.
QString EventFileProblem(const Place &place)
{
    if (place.use != FileUse::AddsEvents || !QFileInfo::exists(place.path))
        return {};
    TableStore table;
    const bool csv = place.path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    const TableResult loaded =
        csv ? ReadCsvFile(place.path, table) : table.LoadFromFile(place.path);
    if (loaded && RecordTable::HasRecordFields(table))
        return {};
    return QStringLiteral("%1 is not a record file: the events would be added to it; name a new "
                          "file or a record file; nothing was done")
        .arg(place.label);
}

// An event journal holds events the controller has forgotten: no output replaces one, its
// lock or a file under a journal's name, and no output is a journal by another name.
QString JournalProblem(const Place &place, const QString &journalFolder)
{
    if (!place.written())
        return {};
    bool journal = RecordJournal::IsJournalFileName(QFileInfo(place.path).fileName());
    if (!journal && QFileInfo::exists(place.path)) {
        const QFileInfoList files =
            QDir(journalFolder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
        journal = std::any_of(files.cbegin(), files.cend(), [&place](const QFileInfo &file) {
            return RecordJournal::IsJournalFileName(file.fileName()) &&
                   SameFile(place, {file.filePath(), file.filePath()});
        });
    }
    if (!journal)
        return {};
    return QStringLiteral("%1 is an event journal, which holds events the controller has "
                          "forgotten; name another file; nothing was done")
        .arg(place.label);
}

} // namespace

namespace OutputFileRule {

QString Check(const VerbForm &form, const QCommandLineParser &parser, const QStringList &arguments)
{
    const QList<Place> places = Places(form, parser, arguments);
    const QString journalFolder = RecordJournal::Folder(Settings().filePath());
    for (qsizetype i = 0; i < places.size(); ++i) {
        if (const QString problem = JournalProblem(places[i], journalFolder); !problem.isEmpty())
            return problem;
        for (qsizetype j = i + 1; j < places.size(); ++j) {
            if (const QString problem = Conflict(places[i], places[j]); !problem.isEmpty())
                return problem;
        }
        if (const QString problem = EventFileProblem(places[i]); !problem.isEmpty())
            return problem;
    }
    return {};
}

} // namespace OutputFileRule
