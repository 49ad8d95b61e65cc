#include "CardsVerbDiff.h"

#include "CardDiff.h"
#include "CardDiffRead.h"
#include "CardFile.h"
#include "CardTransfer.h"
#include "CliContext.h"
#include "CliJson.h"
#include "Comm.h"
#include "ControllerSession.h"
#include "Language.h"
#include "NumberOption.h"
#include "ProgressLine.h"
#include "ProgressState.h"
#include "SharedFlag.h"
#include "TableStore.h"

#include <QJsonArray>
#include <QSet>

namespace {

QString describe(const CardRecord &card)
{
    return QStringLiteral("%1 ID %2 app %3 type %4 PIN %5 APB %6")
        .arg(card.DataNO, card.DataID, card.DataApp, card.DataType, card.DataPIN, card.DataAPB);
}

QJsonObject cardJson(const CardRecord &card)
{
    return {{QStringLiteral("DataNO"), card.DataNO},   {QStringLiteral("DataID"), card.DataID},
            {QStringLiteral("DataApp"), card.DataApp}, {QStringLiteral("DataType"), card.DataType},
            {QStringLiteral("DataPIN"), card.DataPIN}, {QStringLiteral("DataAPB"), card.DataAPB}};
}

QJsonArray cardsJson(const QList<CardRecord> &cards)
{
    QJsonArray array;
    for (const CardRecord &card : cards)
        array.append(cardJson(card));
    return array;
}

// As diff(1): 0 when the two sides are the same, 1 when they differ or could not all be read.
int printResult(CliContext &context, const CardDiff &diff, bool complete, const QJsonObject &extra)
{
    const bool identical = complete && diff.identical();
    if (context.json) {
        QJsonObject object = CardDiffJson(diff);
        object.insert(QStringLiteral("complete"), complete);
        object.insert(QStringLiteral("identical"), identical);
        for (auto it = extra.begin(); it != extra.end(); ++it)
            object.insert(it.key(), it.value());
        PrintJson(context, object);
    } else {
        PrintCardDiff(context.out, diff);
    }
    return identical ? ExitOk : ExitFailed;
}

bool loadList(CliContext &context, TableStore &table, const QString &path)
{
    const TableResult loaded = CardFile::Load(table, path);
    if (!loaded)
        context.err << loaded.error() << '\n';
    return bool(loaded);
}

int diffWithController(CliContext &context)
{
    const QString path = context.arguments.value(1);
    TableStore file;
    if (!loadList(context, file, path))
        return ExitFailed;
    Comm comm;
    if (!ControllerSession::open(context, comm))
        return ExitFailed;
    ProgressState progress;
    SharedFlag clockReadPaused;
    const Language language;
    CardTransfer transfer(comm, progress, clockReadPaused, language);
    const ProgressLine progressLine(context, progress);
    TableStore controller;
    const CardRange range = CardRangeOption(context.parser);
    const CardTransfer::ReadOutcome read = ReadCardsToCompare(transfer, controller, file, range);
    if (!read.linkReady) {
        context.err << "the link cannot be opened\n";
        return ExitFailed;
    }
    const QList<int> failed = read.failedNumbers;
    const CardDiff diff = DiffCards(controller, file, QSet<int>(failed.cbegin(), failed.cend()));
    const int code = printResult(
        context, diff, read.complete(),
        {{QStringLiteral("from"), range.first()}, {QStringLiteral("to"), range.last()}});
    for (const QString &problem : read.problems())
        context.err << problem << '\n';
    return code;
}

} // namespace

int runCardsDiff(CliContext &context)
{
    if (context.arguments.size() == 2)
        return diffWithController(context);
    if (context.arguments.size() != 3) {
        context.err << context.usage;
        return ExitUsage;
    }
    TableStore a;
    TableStore b;
    if (!loadList(context, a, context.arguments[1]) || !loadList(context, b, context.arguments[2]))
        return ExitFailed;
    return printResult(context, DiffCards(a, b), true, {});
}

void PrintCardDiff(QTextStream &out, const CardDiff &diff)
{
    for (const CardRecord &card : diff.added)
        out << "added   " << describe(card) << '\n';
    for (const CardRecord &card : diff.removed)
        out << "removed " << describe(card) << '\n';
    for (const CardChange &change : diff.changed) {
        QStringList fields;
        for (const CardFieldChange &field : change.fields)
            fields << QStringLiteral("%1 %2 -> %3").arg(field.field, field.from, field.to);
        out << "changed " << QStringLiteral("%1").arg(change.number, 7, 10, QLatin1Char('0')) << ' '
            << fields.join(QStringLiteral(", ")) << '\n';
    }
    for (const QString &row : diff.invalidRows)
        out << "invalid " << row << '\n';
    if (!diff.unknownNumbers.isEmpty())
        out << "not read (left out): " << CardTransfer::numberList(diff.unknownNumbers) << '\n';
    out << "unchanged " << diff.unchanged << ", added " << diff.added.size() << ", removed "
        << diff.removed.size() << ", changed " << diff.changed.size() << '\n';
}

QJsonObject CardDiffJson(const CardDiff &diff)
{
    QJsonArray changed;
    for (const CardChange &change : diff.changed) {
        QJsonArray fields;
        for (const CardFieldChange &field : change.fields)
            fields.append(QJsonObject{{QStringLiteral("field"), field.field},
                                      {QStringLiteral("from"), field.from},
                                      {QStringLiteral("to"), field.to}});
        changed.append(
            QJsonObject{{QStringLiteral("DataNO"),
                         QStringLiteral("%1").arg(change.number, 7, 10, QLatin1Char('0'))},
                        {QStringLiteral("fields"), fields}});
    }
    return {{QStringLiteral("identical"), diff.identical()},
            {QStringLiteral("unchanged"), diff.unchanged},
            {QStringLiteral("added"), cardsJson(diff.added)},
            {QStringLiteral("removed"), cardsJson(diff.removed)},
            {QStringLiteral("changed"), changed},
            {QStringLiteral("invalidRows"), QJsonArray::fromStringList(diff.invalidRows)},
            {QStringLiteral("unknownNumbers"), JsonNumbers(diff.unknownNumbers)}};
}
