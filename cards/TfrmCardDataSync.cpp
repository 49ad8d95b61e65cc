#include "TfrmCardData.h"

#include "TextRow.h"
#include "UserPrompt.h"

#include <QCheckBox>
#include <QLabel>

void TfrmCardData::writeChangesOnly()
{
    // Not even the rows that could be written: the numbers of the others would be emptied.
    const CardSync::Outcome checked = CardSync::checkList(table_, CardSync::Mode::Apply);
    if (!checked.invalidRows.isEmpty()) {
        prompt_.message(QStringLiteral("Error!\n\n") +
                            tr("%n row(s) cannot be written:\n%1\n\nNothing is deleted or "
                               "written.",
                               nullptr, int(checked.invalidRows.size()))
                                .arg(checked.invalidRows.mid(0, 10).join(QLatin1Char('\n'))),
                        text(TextRow::SystemMessage));
        return;
    }
    setBusy(true);
    normaliseRange();
    sbMessage->setText(text(TextRow::Reading));
    const CardSync::Outcome outcome =
        sync_.run(table_, cardRange(), VersionText, CardSync::Mode::Apply);
    finishOperation();
    sbMessage->clear();
    if (outcome.complete())
        unsaved_ = false;
    reportSync(outcome);
}

void TfrmCardData::reportSync(const CardSync::Outcome &outcome)
{
    const QString counts = outcome.counts();
    if (outcome.complete()) {
        prompt_.message(QStringLiteral("OK!\n\n") + counts, text(TextRow::SystemMessage));
        return;
    }
    QString report = QStringLiteral("Error!\n\n") + outcome.problems().join(QLatin1Char('\n'));
    if (!counts.isEmpty())
        report += QStringLiteral("\n\n") + counts;
    // A cancel between numbers: each number is as it was or as the list has it.
    if (outcome.stopped && !outcome.read.stopped)
        report +=
            QLatin1Char('\n') + (outcome.doneNumbers.isEmpty()
                                     ? tr("No card number was written.")
                                     : tr("Card numbers now as the list has them: %1")
                                           .arg(CardTransfer::numberList(outcome.doneNumbers)));
    prompt_.message(report, text(TextRow::SystemMessage));
}
