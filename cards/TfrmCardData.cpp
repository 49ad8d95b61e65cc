#include "TfrmCardData.h"

#include "CardCodec.h"
#include "CardFile.h"
#include "CardTable.h"
#include "Comm.h"
#include "IconButtonText.h"
#include "Language.h"
#include "RememberedPath.h"
#include "ReplyTally.h"
#include "Settings.h"
#include "TextRow.h"
#include "UserPrompt.h"
#include "XmlPathRule.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>

TfrmCardData::TfrmCardData(Comm &comm, Settings &settings, const Language &language,
                           ProgressState &progress, SharedFlag &clockReadPaused, UserPrompt &prompt,
                           Options options, QWidget *parent)
    : QDialog(parent), comm_(comm), settings_(settings), language_(language), progress_(progress),
      prompt_(prompt), options_(std::move(options)), model_(table_),
      transfer_(comm, progress, clockReadPaused, language),
      sync_(comm, progress, clockReadPaused, language), readerSearch_(comm), poller_(comm)
{
    setObjectName(QStringLiteral("TfrmCardData"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    resize(800, 600);
    CardTable::Recreate(table_);
    buildUi();
    connect(&transfer_, &CardTransfer::status, sbMessage, &QLabel::setText);
    connect(&sync_, &CardSync::status, sbMessage, &QLabel::setText);
    connect(&readerSearch_, &ReaderSearch::scanning, this, [this](const QString &port) {
        sbMode->clear();
        sbMessage->setText(port + QLatin1Char(' ') + text(TextRow::ScanningMelok9));
        sbMessage->repaint();
    });
    connect(&poller_, &ReaderPoller::ticked, this, &TfrmCardData::tmrComTimer);
    connect(&poller_, &ReaderPoller::cardRead, this, &TfrmCardData::cardPresented);
    connect(&poller_, &ReaderPoller::answeringChanged, this, &TfrmCardData::readerAnswering);
    connect(&comm_, &Comm::deviceConnectedChanged, this, &TfrmCardData::showLinkState);
    const CardRange stored = CardRange::Stored(settings_);
    edtStartCardNo->setText(QString::number(stored.from()));
    edtEndCardNo->setText(QString::number(stored.to()));
    applyLanguage();
    enterMode(Mode::View);
}

TfrmCardData::~TfrmCardData()
{
    poller_.stop();
    comm_.ReaderClose();
}

QString TfrmCardData::text(TextRow row) const
{
    return language_.TableText(row);
}

void TfrmCardData::applyLanguage()
{
    setWindowTitle(text(TextRow::CardDataHint));
    const QList<QPair<QToolButton *, TextRow>> tools{
        {btnAdd, TextRow::Add},          {btnEdit, TextRow::Edit}, {btnDelete, TextRow::Delete},
        {btnFirst, TextRow::First},      {btnPrev, TextRow::Prev}, {btnNext, TextRow::Next},
        {btnLast, TextRow::Last},        {btnOk, TextRow::Ok},     {btnCancel, TextRow::Cancel},
        {btnExit02, TextRow::ExitButton}};
    for (const auto &[button, row] : tools)
        SetIconButtonText(button, text(row));
    lblStartCardNo->setText(text(TextRow::CardNoFrom) + QLatin1Char(':'));
    lblEndCardNo->setText(text(TextRow::CardNoTo) + QLatin1Char(':'));
    const QList<QPair<QPushButton *, TextRow>> captions{
        {btnBackup, TextRow::ReadFromDevice},   {btnRestore, TextRow::WriteToDevice},
        {btnClearAll, TextRow::DeleteAllCards}, {btnReadFile, TextRow::ReadFromFile},
        {btnSaveFile, TextRow::WriteToFile},    {btnClear, TextRow::ClearScreenData},
        {btnAddCard, TextRow::QuickAddCard},    {btnExit, TextRow::ExitButton}};
    for (const auto &[button, row] : captions) {
        button->setText(text(row));
        button->setToolTip(QString(text(row)).remove(QLatin1Char('&')));
    }
    cbxClearAllUser->setText(text(TextRow::DeleteAllCardsWhileWriting));
    cbxWriteChangesOnly->setText(tr("Write changes only"));
    cbxWriteChangesOnly->setToolTip(
        tr("Writes only the card numbers that differ from the list; no card is deleted first"));
    lbl01->setText(text(TextRow::CardNoColumn) + QLatin1Char(':'));
    lbl02->setText(text(TextRow::CardIdColumn) + QLatin1Char(':'));
    lbl03->setText(text(TextRow::CardPinColumn) + QLatin1Char(':'));
    pnlTitle->setText(text(TextRow::PleasePunchCard));
    lblCardNo->setText(text(TextRow::CardNoColumn) + QLatin1Char(':'));
    lblCardID->setText(text(TextRow::CardIdColumn) + QLatin1Char(':'));
    lblAppNo->setText(text(TextRow::AppNoColumn) + QLatin1Char(':'));
    lblAPB->setText(text(TextRow::ApbColumn) + QLatin1Char(':'));
    lblPIN->setText(text(TextRow::CardPinColumn) + QLatin1Char(':'));
    btnStop->setText(text(TextRow::StopPunchCard));
    fillApbEntries();
    model_.setColumns(
        {QStringLiteral("DataNO"), QStringLiteral("DataID"), QStringLiteral("DataApp"),
         QStringLiteral("DataAPB"), QStringLiteral("DataPIN")},
        {text(TextRow::CardNoColumn), text(TextRow::CardIdColumn), text(TextRow::AppNoColumn),
         text(TextRow::ApbColumn), text(TextRow::CardPinColumn)});
    const int widths[] = {90, 180, 80, 80, 80};
    for (int c = 0; c < 5; ++c)
        dgView->setColumnWidth(c, widths[c]);
    showLinkState();
    // The mode panel is empty while quick add runs and after it: only a mode shown is
    // translated.
    if (!sbMode->text().isEmpty())
        sbMode->setText(modeText());
}

void TfrmCardData::showLinkState()
{
    const bool connected = comm_.DeviceConnected();
    for (QPushButton *button : {btnBackup, btnRestore, btnClearAll})
        button->setEnabled(connected);
}

void TfrmCardData::fillApbEntries()
{
    // The entries follow the language; the choice stays, so that a card added after a
    // message box (which activates the window again) keeps the APB the user chose.
    const int chosen = std::max(cbxAPB->currentIndex(), 0);
    cbxAPB->clear();
    cbxAPB->addItems({text(TextRow::ApbCheck), text(TextRow::ApbNoCheck)});
    cbxAPB->setCurrentIndex(chosen);
}

void TfrmCardData::showEvent(QShowEvent *event)
{
    applyLanguage();
    enterMode(Mode::View);
    edtAppNo->setText(QStringLiteral("1"));
    edtPIN->setText(QStringLiteral("XXXX"));
    cbxAPB->setCurrentIndex(0);
    QDialog::showEvent(event);
    placeOverlays();
}

void TfrmCardData::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applyLanguage();
    QDialog::changeEvent(event);
}

void TfrmCardData::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    placeOverlays();
}

void TfrmCardData::keyPressEvent(QKeyEvent *event)
{
    // Esc is the Stop button's key while quick add runs; the window stays open.
    if (event->key() == Qt::Key_Escape && quickAdding_) {
        btnStopClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfrmCardData::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == edtStartCardNo || watched == edtEndCardNo) {
        // While typing, an emptied box stays empty so that a new number can be typed into
        // it; its default comes back when the person leaves it (and at every read).
        if (event->type() == QEvent::KeyRelease)
            normaliseTypedRange();
        else if (event->type() == QEvent::FocusOut)
            normaliseRange();
    }
    return QDialog::eventFilter(watched, event);
}

CardRange TfrmCardData::cardRange() const
{
    return CardRange::FromTexts(edtStartCardNo->text(), edtEndCardNo->text());
}

void TfrmCardData::normaliseTypedRange()
{
    for (QLineEdit *edit : {edtStartCardNo, edtEndCardNo}) {
        const QString typed = edit->text();
        const QString plain = typed.isEmpty() ? typed : QString::number(typed.toInt());
        if (plain != typed)
            edit->setText(plain);
    }
    cardRange().store(settings_);
}

void TfrmCardData::normaliseRange()
{
    const CardRange range = cardRange();
    edtStartCardNo->setText(QString::number(range.from()));
    edtEndCardNo->setText(QString::number(range.to()));
    range.store(settings_);
}

void TfrmCardData::done(int result)
{
    if (busy_)
        return;
    btnStopClick();
    if (!mayLoseUnsavedCards())
        return;
    QDialog::done(result);
}

bool TfrmCardData::mayLoseUnsavedCards()
{
    if (!unsaved_)
        return true;
    return prompt_.question(
        tr("The card table holds cards added or changed in this window that are "
           "neither written to the controller nor saved to a file.\n\n"
           "Lose them?"),
        text(TextRow::SystemMessage));
}

void TfrmCardData::setPanelsEnabled(bool enabled)
{
    pnlRight->setEnabled(enabled);
    pcData->setEnabled(enabled);
    tbEdit->setEnabled(enabled);
}

void TfrmCardData::setBusy(bool busy)
{
    busy_ = busy;
    setPanelsEnabled(!busy);
    if (busy) {
        enterMode(Mode::View);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents();
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TfrmCardData::finishOperation()
{
    setBusy(false);
    enterMode(Mode::View);
    table_.First();
    grid_->syncSelection();
}

QString TfrmCardData::modeText() const
{
    const TextRow rows[] = {TextRow::ViewMode, TextRow::EditMode, TextRow::AddMode};
    return text(rows[int(mode_)]);
}

void TfrmCardData::enterMode(Mode mode)
{
    mode_ = mode;
    sbMode->setText(modeText());
    pcData->setCurrentWidget(mode == Mode::View ? static_cast<QWidget *>(dgView) : tsData);
    tsData->setEnabled(mode != Mode::View);
    edt01->setReadOnly(mode != Mode::Edit);
    edt02->setReadOnly(mode == Mode::View);
    edt03->setReadOnly(mode == Mode::View);
    btnOk->setVisible(options_.expert && mode != Mode::View);
    btnCancel->setVisible(options_.expert && mode != Mode::View);
}

void TfrmCardData::clearEditor()
{
    edt01->clear();
    edt02->clear();
    edt03->clear();
}

void TfrmCardData::editorAdd()
{
    clearEditor();
    edt01->setText(QString::number(CardTable::FirstFreeNumber(table_, CardCodec::MaxCardNumber)));
    enterMode(Mode::Add);
    edt02->setFocus();
}

void TfrmCardData::editorEdit()
{
    if (!table_.Active() || table_.IsEmpty())
        return;
    enterMode(mode_ == Mode::Edit ? Mode::View : Mode::Edit);
    if (mode_ == Mode::Edit)
        edt03->setFocus();
}

void TfrmCardData::editorOk()
{
    if (mode_ == Mode::View || edt01->text().trimmed().isEmpty() ||
        edt02->text().trimmed().isEmpty() || edt03->text().trimmed().isEmpty())
        return;
    model_.detach();
    if (mode_ == Mode::Edit && table_.Active() && !table_.IsEmpty()) {
        table_.Edit();
        table_.SetFieldText(QStringLiteral("DataID"), edt02->text().trimmed());
        table_.SetFieldText(QStringLiteral("DataPIN"), CardCodec::ApplyPinRule(edt03->text()));
        table_.Post();
        unsaved_ = true;
    } else if (mode_ == Mode::Add && table_.Active()) {
        bool ok = false;
        const int number = edt01->text().trimmed().toInt(&ok);
        table_.Append();
        table_.SetFieldText(QStringLiteral("DataNO"), CardCodec::TableCardNumber(ok ? number : 0));
        table_.SetFieldText(QStringLiteral("DataID"), edt02->text().trimmed());
        table_.SetFieldText(QStringLiteral("DataPIN"), CardCodec::ApplyPinRule(edt03->text()));
        table_.Post();
        unsaved_ = true;
        enterMode(Mode::View);
    }
    model_.attach();
    grid_->syncSelection();
}

void TfrmCardData::showRecordCount()
{
    sbMessage->setText(QStringLiteral(" Record Count : ") + QString::number(table_.RecordCount()));
}

void TfrmCardData::btnClearClick()
{
    if (!mayLoseUnsavedCards())
        return;
    CardTable::Recreate(table_);
    unsaved_ = false;
}

void TfrmCardData::btnBackupClick()
{
    // The read replaces the table.
    if (!mayLoseUnsavedCards())
        return;
    setBusy(true);
    sbMessage->setText(text(TextRow::Reading));
    normaliseRange();
    model_.detach();
    const CardTransfer::ReadOutcome outcome = transfer_.readRange(table_, cardRange());
    model_.attach();
    if (outcome.linkReady)
        unsaved_ = false;
    finishOperation();
    reportRead(outcome);
    showRecordCount();
}

void TfrmCardData::reportRead(CardTransfer::ReadOutcome outcome)
{
    const QString caption = text(TextRow::SystemMessage);
    while (!outcome.complete()) {
        if (!outcome.linkReady && outcome.failedNumbers.isEmpty()) {
            prompt_.message(QStringLiteral("Error!\n\n") + text(TextRow::CommunicationError),
                            caption);
            return;
        }
        QString report = QStringLiteral("Error!\n\n");
        if (outcome.stopped)
            report += tr("The read was cancelled; the cards after the last one read were not "
                         "read.") +
                      QLatin1Char('\n');
        if (outcome.linkLost)
            report += tr("The controller stopped answering.") + QLatin1Char('\n');
        if (outcome.strayReplies > 0)
            report += StrayRepliesText(outcome.strayReplies) + QLatin1Char('\n');
        if (outcome.failedNumbers.isEmpty()) {
            prompt_.message(report, caption);
            return;
        }
        // Without a link a second read fails at once for every number: it is not offered.
        if (!comm_.DeviceConnected()) {
            report += tr("%n card number(s) could not be read: %1\n\nThe card list is not "
                         "complete. The link to the controller is closed: connect again in the "
                         "main window, then read these numbers.",
                         nullptr, int(outcome.failedNumbers.size()))
                          .arg(CardTransfer::numberList(outcome.failedNumbers));
            prompt_.message(report, caption);
            return;
        }
        report += tr("%n card number(s) could not be read: %1\n\nThe card list is not "
                     "complete. Read these numbers again?",
                     nullptr, int(outcome.failedNumbers.size()))
                      .arg(CardTransfer::numberList(outcome.failedNumbers));
        if (!prompt_.question(report, caption))
            return;
        setBusy(true);
        model_.detach();
        outcome = transfer_.readNumbers(table_, outcome.failedNumbers);
        model_.attach();
        finishOperation();
    }
}

void TfrmCardData::btnRestoreClick()
{
    if (table_.IsEmpty())
        return;
    if (cbxWriteChangesOnly->isChecked()) {
        writeChangesOnly();
        return;
    }
    const QStringList invalid = CardTransfer::invalidRows(table_);
    bool skipInvalid = false;
    // No row could be written: there is nothing to ask, and nothing is deleted.
    if (invalid.size() == table_.RecordCount()) {
        prompt_.message(QStringLiteral("Error!\n\n") +
                            tr("%n row(s) cannot be written:\n%1\n\nNothing is deleted or "
                               "written.",
                               nullptr, int(invalid.size()))
                                .arg(invalid.mid(0, 10).join(QLatin1Char('\n'))),
                        text(TextRow::SystemMessage));
        return;
    }
    if (!invalid.isEmpty()) {
        const QString question =
            QStringLiteral("Error!\n\n") +
            tr("%n row(s) cannot be written:\n%1\n\nWrite the other rows without them? "
               "Otherwise nothing is deleted or written.",
               nullptr, int(invalid.size()))
                .arg(invalid.mid(0, 10).join(QLatin1Char('\n')));
        if (!prompt_.question(question, text(TextRow::SystemMessage)))
            return;
        skipInvalid = true;
    }
    setBusy(true);
    sbMessage->setText(text(TextRow::Writing));
    const CardTransfer::WriteOutcome outcome =
        transfer_.write(table_, VersionText, cbxClearAllUser->isChecked(), skipInvalid);
    finishOperation();
    sbMessage->clear();
    if (outcome.complete())
        unsaved_ = false;
    reportWrite(outcome);
}

void TfrmCardData::reportWrite(const CardTransfer::WriteOutcome &outcome)
{
    if (outcome.complete() || outcome.nothingToWrite)
        return;
    prompt_.message(QStringLiteral("Error!\n\n") + outcome.problems().join(QLatin1Char('\n')) +
                        QLatin1Char('\n') + tr("%n card(s) written.", nullptr, outcome.written),
                    text(TextRow::SystemMessage));
}

void TfrmCardData::btnClearAllClick()
{
    // One click must not empty a controller that opens doors: the person confirms, and
    // learns which controller it is.
    if (!comm_.DeviceConnected() ||
        !prompt_.question(tr("Delete every card in the controller %1?\n\nThe controller then "
                             "admits no card until cards are written to it again. This cannot "
                             "be undone.")
                              .arg(options_.serialNumber),
                          text(TextRow::SystemMessage)))
        return;
    setBusy(true);
    const CardTransfer::ClearOutcome outcome = transfer_.clearAll();
    finishOperation();
    sbMessage->clear();
    QString report;
    if (outcome.done)
        report = outcome.stopped ? QStringLiteral("OK!\n\n") +
                                       tr("The controller deleted every card. Cancel cut short "
                                          "the wait while it clears its card memory: give it a "
                                          "few seconds before cards are written to it.")
                                 : QStringLiteral("OK!");
    else if (!outcome.linkReady)
        report = QStringLiteral("Error!\n\n") + text(TextRow::CommunicationError);
    else
        report = QStringLiteral("Error!\n\n") +
                 tr("The controller did not confirm the delete; its cards may be unchanged.");
    prompt_.message(report, text(TextRow::SystemMessage));
}

QString TfrmCardData::chooseFile(bool forSaving)
{
    const QString proposed =
        RememberedPath(settings_, forSaving ? CardFile::SaveSetting : CardFile::ReadSetting,
                       CardFile::DefaultPath());
    const QString chosen = (forSaving ? prompt_.saveFileName(proposed, CardFile::DialogFilter)
                                      : prompt_.openFileName(proposed, CardFile::DialogFilter))
                               .trimmed();
    return chosen.isEmpty() ? QString() : WithXmlExtension(chosen);
}

void TfrmCardData::btnReadFileClick()
{
    // The dialog and the question come before the hourglass, which would hang over them as
    // if the program were stuck.
    enterMode(Mode::View);
    const QString path = chooseFile(false);
    // The file replaces the table.
    const bool load = !path.isEmpty() && mayLoseUnsavedCards();
    setBusy(true);
    TableResult result = TableResult::Success();
    if (load) {
        settings_.SaveSetting(CardFile::ReadSetting, path);
        model_.detach();
        result = CardFile::Load(table_, path);
        model_.attach();
        if (result)
            unsaved_ = false;
    }
    finishOperation();
    showRecordCount();
    if (!result)
        prompt_.message(QStringLiteral("Error!\n\n") + result.error(),
                        text(TextRow::SystemMessage));
}

void TfrmCardData::btnSaveFileClick()
{
    if (!table_.Active() || table_.IsEmpty())
        return;
    enterMode(Mode::View);
    const QString path = chooseFile(true);
    setBusy(true);
    TableResult result = TableResult::Success();
    if (!path.isEmpty()) {
        result = CardFile::Save(table_, path);
        if (result) {
            settings_.SaveSetting(CardFile::SaveSetting, path);
            unsaved_ = false;
        }
    }
    finishOperation();
    if (path.isEmpty())
        return;
    prompt_.message(result ? QStringLiteral("OK!") : QStringLiteral("Error!\n\n") + result.error(),
                    text(TextRow::SystemMessage));
}
