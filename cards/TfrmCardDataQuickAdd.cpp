#include "CardCodec.h"
#include "CircleIndicator.h"
#include "Comm.h"
#include "Language.h"
#include "SerialPortOrder.h"
#include "TextRow.h"
#include "TfrmCardData.h"
#include "UserPrompt.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// Quick add: the reader is found on the serial ports, then polled; each card presented is
// shown in the panel and added to the table when the next one comes or quick add stops.
// Nothing here reaches the controller.

void TfrmCardData::btnAddCardClick()
{
    if (quickAdding_ || busy_)
        return;
    setBusy(true);
    sbMode->clear();
    sbMessage->setText(text(TextRow::ScanningMelok9));
    sbMessage->repaint();
    ComPortMap map = comm_.comPortMap();
    const QStringList names = options_.portLister ? options_.portLister(map) : QStringList();
    const auto found =
        readerSearch_.find(SerialTargetsInSearchOrder(names, map), options_.controllerPort);
    setBusy(false);
    if (found) {
        showQuickAdd(found->readCommand);
        return;
    }
    comm_.ReaderClose();
    sbMode->clear();
    sbMessage->clear();
    prompt_.message(text(TextRow::CouldNotFindMelok9) + QLatin1Char('!'),
                    text(TextRow::SystemMessage));
}

void TfrmCardData::showQuickAdd(const QString &readCommand)
{
    quickAdding_ = true;
    setPanelsEnabled(false);
    edtCardNo->setText(nextFreeCardNo());
    edtCardID->clear();
    lblCardIDNote->clear();
    placeOverlays();
    pnlCardID->show();
    pnlCardID->raise();
    shpCircle->show();
    sbMode->clear();
    sbMessage->setText(text(TextRow::PleasePunchCard));
    pnlTitle->setText(text(TextRow::PleasePunchCard));
    edtCardID->setFocus();
    poller_.start(readCommand);
}

void TfrmCardData::tmrComTimer()
{
    shpCircle->toggle();
}

QString TfrmCardData::nextFreeCardNo() const
{
    return CardCodec::TableCardNumber(CardEnrolment::NextFreeNumber(table_));
}

void TfrmCardData::commitPending()
{
    const CardEnrolment::PendingCard pending{edtCardNo->text(), edtCardID->text(), edtAppNo->text(),
                                             cbxAPB->currentIndex(), edtPIN->text()};
    switch (CardEnrolment::CommitPending(table_, pending)) {
    case CardEnrolment::Commit::Added:
        unsaved_ = true;
        lblCardIDNote->clear();
        grid_->syncSelection();
        break;
    case CardEnrolment::Commit::BadCardId: {
        const QString note = tr("Card ID \"%1\" has %n character(s), not 16: this card was not "
                                "added. Present it again.",
                                nullptr, int(pending.cardId.size()))
                                 .arg(pending.cardId);
        lblCardIDNote->setText(note);
        sbMessage->setText(note);
        break;
    }
    case CardEnrolment::Commit::NothingPending:
        break;
    }
    edtCardID->clear();
}

void TfrmCardData::cardPresented(const QString &cardId)
{
    if (!quickAdding_)
        return;
    commitPending();
    if (CardEnrolment::HasCardId(table_, cardId)) {
        poller_.stop();
        prompt_.message(text(TextRow::CardIdRepeat) + QLatin1Char('!'),
                        text(TextRow::SystemMessage));
        edtCardID->clear();
        if (quickAdding_)
            poller_.start(poller_.readCommand());
        return;
    }
    edtCardNo->setText(nextFreeCardNo());
    edtCardID->setText(cardId);
    pnlCardID->raise();
}

void TfrmCardData::readerAnswering(bool answering)
{
    if (!quickAdding_)
        return;
    sbMessage->setText(answering ? text(TextRow::PleasePunchCard)
                                 : tr("MELOK9 does not answer: check its cable and power."));
}

void TfrmCardData::btnStopClick()
{
    if (!quickAdding_)
        return;
    quickAdding_ = false;
    poller_.stop();
    commitPending();
    const QString note = lblCardIDNote->text();
    setPanelsEnabled(true);
    shpCircle->hide();
    sbMode->clear();
    sbMessage->setText(note);
    pnlCardID->hide();
    pnlCardID->lower();
    comm_.ReaderClose();
}
