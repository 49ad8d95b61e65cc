#include "SoakCheck.h"

#include "CardCodec.h"
#include "CardTable.h"
#include "DeviceDataGroup.h"
#include "TableStore.h"

#include <QMap>

namespace {

// The parameter values as the parameter file keeps them: code to value, spaces and control
// characters trimmed.
QMap<QString, QString> FileValues(const TableStore &file)
{
    QMap<QString, QString> values;
    const int type = file.FieldIndex(QStringLiteral("DataType"));
    const int value = file.FieldIndex(QStringLiteral("DataVaue"));
    for (int row = 0; row < file.RecordCount(); ++row)
        values.insert(file.Value(row, type).trimmed(), file.Value(row, value).trimmed());
    return values;
}

// Every value of the controller that a parameter backup reads: the catalogue codes with a
// value, apart from the record of sixteen zeros that closes a family.
QMap<QString, QString> ControllerValues(const ControllerData &d)
{
    QMap<QString, QString> values;
    auto take = [&values](const QMap<QByteArray, QByteArray> &map) {
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            const QString code = QString::fromLatin1(it.key());
            const QString value = QString::fromLatin1(it.value()).trimmed();
            if (IsCatalogueCode(code) && !value.isEmpty() && value != QLatin1String(SixteenZeros))
                values.insert(code, value);
        }
    };
    take(d.parameters);
    take(d.groups);
    return values;
}

QString ControllerValue(const ControllerData &d, const QString &code)
{
    const QByteArray key = code.toLatin1();
    const QMap<QByteArray, QByteArray> &map =
        code.startsWith(QLatin1String("AF")) ? d.parameters : d.groups;
    return QString::fromLatin1(map.value(key)).trimmed();
}

QMap<int, QString> FileCards(const TableStore &file)
{
    QMap<int, QString> cards;
    for (int row = 0; row < file.RecordCount(); ++row) {
        const CardRecord card = CardTable::RowAt(file, row);
        cards.insert(CardCodec::CardNumberOf(card).value_or(-1), CardCodec::EncodeWriteData(card));
    }
    return cards;
}

bool Mentions(const QStringList &problems, const QString &words)
{
    for (const QString &line : problems) {
        if (line.contains(words))
            return true;
    }
    return false;
}

// The outcome names a whole half as not done (no file, link lost, a restore refused before
// writing because one of its files cannot be restored) or as not to be trusted
// (replies no command was waiting for: any value may be another's): every item of it counts as
// named.
bool ParametersNamedAsWhole(const AllBackup::Outcome &outcome)
{
    return !outcome.parametersComplete &&
           (Mentions(outcome.parameterProblems, QStringLiteral("link was lost")) ||
            Mentions(outcome.parameterProblems, QStringLiteral("no file was written")) ||
            Mentions(outcome.parameterProblems, QStringLiteral("does not answer")) ||
            Mentions(outcome.parameterProblems, QStringLiteral("nothing was written")) ||
            Mentions(outcome.parameterProblems, QStringLiteral("no command was waiting for")));
}

bool CardsNamedAsWhole(const AllBackup::Outcome &outcome)
{
    return !outcome.cardsComplete &&
           (Mentions(outcome.cardProblems, QStringLiteral("were not touched")) ||
            Mentions(outcome.cardProblems, QStringLiteral("list was not saved")) ||
            Mentions(outcome.cardProblems, QStringLiteral("cannot write")) ||
            Mentions(outcome.cardProblems, QStringLiteral("link could not be opened")) ||
            Mentions(outcome.cardProblems, QStringLiteral("nothing was written")) ||
            Mentions(outcome.cardProblems, QStringLiteral("no command was waiting for")));
}

} // namespace

void SoakFindings::add(const SoakFindings &other)
{
    checked += other.checked;
    named += other.named;
    silent += other.silent;
}

SoakFindings CheckParameterBackup(const ControllerData &source, const TableStore &file,
                                  const AllBackup::Outcome &outcome)
{
    SoakFindings f;
    const QMap<QString, QString> held = ControllerValues(source);
    const QMap<QString, QString> saved = FileValues(file);
    const bool whole = ParametersNamedAsWhole(outcome);
    for (auto it = held.cbegin(); it != held.cend(); ++it) {
        ++f.checked;
        if (saved.value(it.key(), QStringLiteral("\x01")) == it.value())
            continue;
        if (whole || outcome.failedParameterCodes.contains(it.key()))
            ++f.named;
        else
            f.silent << QStringLiteral("backup: parameter %1 %2")
                            .arg(it.key(), saved.contains(it.key()) ? QStringLiteral("differs")
                                                                    : QStringLiteral("missing"));
    }
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        if (!held.contains(it.key()))
            f.silent << QStringLiteral("backup: parameter %1 not in the controller").arg(it.key());
    }
    return f;
}

SoakFindings CheckCardBackup(const ControllerData &source, int from, int to, const TableStore &file,
                             const AllBackup::Outcome &outcome)
{
    SoakFindings f;
    const QMap<int, QString> saved = FileCards(file);
    const bool whole = CardsNamedAsWhole(outcome);
    for (int n = from; n <= to; ++n) {
        const QString held = QString::fromLatin1(source.cards.value(n));
        ++f.checked;
        if (held.isEmpty()) {
            if (saved.contains(n))
                f.silent << QStringLiteral("backup: card %1 not in the controller").arg(n);
            continue;
        }
        if (saved.value(n) == held)
            continue;
        if (!saved.contains(n) && (whole || outcome.failedCardNumbers.contains(n)))
            ++f.named;
        else
            f.silent << QStringLiteral("backup: card %1 %2")
                            .arg(n)
                            .arg(saved.contains(n) ? QStringLiteral("differs")
                                                   : QStringLiteral("missing"));
    }
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        if (it.key() < from || it.key() > to)
            f.silent << QStringLiteral("backup: card %1 outside the range read").arg(it.key());
    }
    return f;
}

SoakFindings CheckParameterRestore(const TableStore &file, const ControllerData &target,
                                   const AllBackup::Outcome &outcome)
{
    SoakFindings f;
    const QMap<QString, QString> saved = FileValues(file);
    const bool whole = ParametersNamedAsWhole(outcome);
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        ++f.checked;
        if (ControllerValue(target, it.key()) == it.value())
            continue;
        if (whole || outcome.failedParameterCodes.contains(it.key()))
            ++f.named;
        else
            f.silent << QStringLiteral("restore: parameter %1 not written").arg(it.key());
    }
    return f;
}

SoakFindings CheckCardRestore(const TableStore &file, const ControllerData &target,
                              const AllBackup::Outcome &outcome)
{
    SoakFindings f;
    const QMap<int, QString> saved = FileCards(file);
    const bool whole = CardsNamedAsWhole(outcome);
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        ++f.checked;
        if (QString::fromLatin1(target.cards.value(it.key())) == it.value())
            continue;
        if (whole || outcome.failedCardNumbers.contains(it.key()))
            ++f.named;
        else
            f.silent << QStringLiteral("restore: card %1 not written").arg(it.key());
    }
    // An empty card file leaves the controller's cards alone, and says so.
    if (saved.isEmpty())
        return f;
    const bool oldCardsMayStay =
        whole || Mentions(outcome.cardProblems, QStringLiteral("deleting all cards"));
    for (auto it = target.cards.cbegin(); it != target.cards.cend(); ++it) {
        if (saved.contains(it.key()))
            continue;
        if (oldCardsMayStay)
            ++f.named;
        else
            f.silent << QStringLiteral("restore: card %1 left over").arg(it.key());
    }
    return f;
}
