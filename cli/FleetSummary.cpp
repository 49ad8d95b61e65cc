#include "FleetSummary.h"

#include "CardsVerbDiff.h"
#include "CliJson.h"

#include <QJsonArray>
#include <algorithm>

namespace {

QString seconds(qint64 milliseconds)
{
    return QString::number(double(milliseconds) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QString count(int n)
{
    return n < 0 ? QStringLiteral("-") : QString::number(n);
}

// A count of a half that was compared, or "-".
QString compared(bool done, qsizetype n)
{
    return done ? QString::number(n) : QStringLiteral("-");
}

QJsonValue comparedJson(bool done, qsizetype n)
{
    return done ? QJsonValue(int(n)) : QJsonValue(QJsonValue::Null);
}

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("-") : text;
}

QString actionName(FleetTask::Action action)
{
    switch (action) {
    case FleetTask::Action::Backup:
        return QStringLiteral("backup");
    case FleetTask::Action::Restore:
        return QStringLiteral("restore");
    case FleetTask::Action::DryRun:
        return QStringLiteral("dry-run");
    case FleetTask::Action::Records:
        return QStringLiteral("records");
    }
    return {};
}

// Columns padded to their widest cell; numbers to the right.
void printTable(QTextStream &out, const QList<QStringList> &rows, const QList<bool> &numeric)
{
    QList<qsizetype> widths(rows.first().size(), 0);
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    }
    for (const QStringList &row : rows) {
        QStringList cells;
        for (qsizetype c = 0; c < row.size(); ++c)
            cells << (numeric[c] ? row[c].rightJustified(widths[c])
                                 : row[c].leftJustified(widths[c]));
        out << cells.join(QStringLiteral("  ")).trimmed() << '\n';
    }
}

QJsonObject resultJson(const FleetTask &task, const FleetResult &r)
{
    QJsonObject object{{QStringLiteral("name"), r.name},
                       {QStringLiteral("where"), r.where},
                       {QStringLiteral("complete"), r.complete()},
                       {QStringLiteral("serialNumber"), r.serialNumber},
                       {QStringLiteral("version"), r.version},
                       {QStringLiteral("parameters"), r.parameters},
                       {QStringLiteral("cards"), r.cards},
                       {QStringLiteral("failures"), QJsonArray::fromStringList(r.failures)},
                       {QStringLiteral("notes"), QJsonArray::fromStringList(r.notes)},
                       {QStringLiteral("seconds"), double(r.milliseconds) / 1000.0}};
    if (task.action == FleetTask::Action::Records) {
        object.insert(QStringLiteral("events"), r.events);
        object.insert(QStringLiteral("added"), r.eventsAdded);
        object.insert(QStringLiteral("unreadableJournalLines"),
                      JsonNumbers(r.unreadableJournalLines));
    }
    if (task.action == FleetTask::Action::DryRun) {
        QJsonArray parameters;
        for (const ParamChange &change : r.parameterChanges)
            parameters.append(QJsonObject{{QStringLiteral("code"), change.code},
                                          {QStringLiteral("from"), change.from},
                                          {QStringLiteral("to"), change.to}});
        object.insert(QStringLiteral("parameterChanges"), parameters);
        object.insert(QStringLiteral("cardChanges"), CardDiffJson(r.cardDiff));
        object.insert(QStringLiteral("outsideCards"), JsonNumbers(r.outsideCards));
        object.insert(
            QStringLiteral("counts"),
            QJsonObject{
                {QStringLiteral("parametersChanged"),
                 comparedJson(r.parametersCompared, r.parameterChanges.size())},
                {QStringLiteral("unchanged"), comparedJson(r.cardsCompared, r.cardDiff.unchanged)},
                {QStringLiteral("added"), comparedJson(r.cardsCompared, r.cardDiff.added.size())},
                {QStringLiteral("removed"),
                 comparedJson(r.cardsCompared, r.cardDiff.removed.size())},
                {QStringLiteral("changed"),
                 comparedJson(r.cardsCompared, r.cardDiff.changed.size())},
                {QStringLiteral("failed"),
                 comparedJson(r.cardsCompared, r.cardDiff.unknownNumbers.size())}});
    }
    return object;
}

} // namespace

namespace FleetSummary {

void printChanges(QTextStream &out, const FleetResult &r)
{
    out << "== " << r.name << " (" << r.where << ", S/N " << orDash(r.serialNumber) << ")\n";
    for (const ParamChange &change : r.parameterChanges)
        out << "parameter " << change.code << ' '
            << (change.from.isEmpty() ? QStringLiteral("(not read)") : change.from) << " -> "
            << change.to << '\n';
    if (r.cardsCompared)
        PrintCardDiff(out, r.cardDiff);
    else if (r.cards == 0)
        out << "cards: the backup holds no cards; the cards the controller holds stay as they "
               "are\n";
    else
        out << "cards: not compared\n";
}

void print(QTextStream &out, const FleetTask &task, const QList<FleetResult> &results,
           qint64 milliseconds)
{
    const bool dryRun = task.action == FleetTask::Action::DryRun;
    const bool records = task.action == FleetTask::Action::Records;
    QList<QStringList> rows;
    QList<bool> numeric;
    if (records) {
        rows << QStringList{"name", "serial number", "events", "added", "failures", "time"};
        numeric = {false, false, true, true, true, true};
    } else if (dryRun) {
        rows << QStringList{"name",      "serial number", "parameters changed",
                            "unchanged", "added",         "removed",
                            "changed",   "failed",        "result"};
        numeric = {false, false, true, true, true, true, true, true, false};
    } else {
        rows << QStringList{"name",  "serial number", "version", "parameters",
                            "cards", "failures",      "time"};
        numeric = {false, false, false, true, true, true, true};
    }
    QStringList failed;
    for (const FleetResult &r : results) {
        if (!r.complete())
            failed << r.name;
        if (records)
            rows << QStringList{r.name,
                                orDash(r.serialNumber),
                                count(r.events),
                                count(r.eventsAdded),
                                QString::number(r.failures.size()),
                                seconds(r.milliseconds)};
        else if (dryRun)
            rows << QStringList{r.name,
                                orDash(r.serialNumber),
                                compared(r.parametersCompared, r.parameterChanges.size()),
                                compared(r.cardsCompared, r.cardDiff.unchanged),
                                compared(r.cardsCompared, r.cardDiff.added.size()),
                                compared(r.cardsCompared, r.cardDiff.removed.size()),
                                compared(r.cardsCompared, r.cardDiff.changed.size()),
                                compared(r.cardsCompared, r.cardDiff.unknownNumbers.size()),
                                r.complete() ? QStringLiteral("OK") : QStringLiteral("FAILED")};
        else
            rows << QStringList{r.name,
                                orDash(r.serialNumber),
                                orDash(r.version),
                                count(r.parameters),
                                count(r.cards),
                                QString::number(r.failures.size()),
                                seconds(r.milliseconds)};
    }
    printTable(out, rows, numeric);
    for (const FleetResult &r : results) {
        for (const QString &failure : r.failures)
            out << r.name << ": " << failure << '\n';
        for (const QString &note : r.notes)
            out << r.name << ": note: " << note << '\n';
    }
    const qsizetype succeeded = results.size() - failed.size();
    out << succeeded << " of " << results.size() << " controllers "
        << (dryRun                                     ? "compared"
            : records                                  ? "read into " + task.archive.text()
            : task.action == FleetTask::Action::Backup ? "backed up"
                                                       : "restored")
        << " in " << seconds(milliseconds);
    if (!failed.isEmpty())
        out << "; failed: " << failed.join(QStringLiteral(", "));
    out << '\n';
}

QJsonObject json(const FleetTask &task, const QList<FleetResult> &results, qint64 milliseconds)
{
    QJsonArray controllers;
    int succeeded = 0;
    for (const FleetResult &r : results) {
        controllers.append(resultJson(task, r));
        succeeded += r.complete() ? 1 : 0;
    }
    QJsonObject object{{QStringLiteral("action"), actionName(task.action)},
                       {QStringLiteral("folder"), task.folder},
                       {QStringLiteral("complete"), succeeded == results.size()},
                       {QStringLiteral("succeeded"), succeeded},
                       {QStringLiteral("failed"), int(results.size()) - succeeded},
                       {QStringLiteral("seconds"), double(milliseconds) / 1000.0},
                       {QStringLiteral("controllers"), controllers}};
    if (task.action == FleetTask::Action::Records)
        object.insert(QStringLiteral("archive"), task.archive.text());
    return object;
}

} // namespace FleetSummary
