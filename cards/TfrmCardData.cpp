#include "TfrmCardData.h"

#include "CardCodec.h"
#include "CardFile.h"
#include "CardTable.h"
#include "Comm.h"
#include "Language.h"
#include "RememberedPath.h"
#include "Settings.h"
#include "TextRow.h"
#include "UserPrompt.h"
#include "XmlPathRule.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int DefaultStart = 1;
constexpr int DefaultEnd = 10500;
int numberOr(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

QToolButton *toolButton(QWidget *parent, const QString &name, QStyle::StandardPixmap icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(38, 38);
    return button;
}

QPushButton *pushButton(QWidget *parent, const QString &name)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(name);
    button->setMinimumHeight(34);
    return button;
}

} // namespace

TfrmCardData::TfrmCardData(Comm &comm, Settings &settings, const Language &language,
                           ProgressState &progress, SharedFlag &clockReadPaused, UserPrompt &prompt,
                           QWidget *parent)
    : QDialog(parent), comm_(comm), settings_(settings), language_(language), progress_(progress),
      prompt_(prompt), model_(table_), transfer_(comm, progress, clockReadPaused, language)
{
    setObjectName(QStringLiteral("TfrmCardData"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    resize(800, 600);
    CardTable::Recreate(table_);
    buildUi();
    connect(&transfer_, &CardTransfer::status, sbMessage, &QLabel::setText);
    edtStartCardNo->setText(QString::number(
        numberOr(settings_.LoadSetting(QStringLiteral("CardNoMin")), DefaultStart)));
    edtEndCardNo->setText(
        QString::number(numberOr(settings_.LoadSetting(QStringLiteral("CardNoMax")), DefaultEnd)));
    applyLanguage();
    enterMode(Mode::View);
}

QString TfrmCardData::text(TextRow row) const
{
    return language_.TableText(row);
}

void TfrmCardData::buildUi()
{
    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    tbEdit = new QWidget(this);
    tbEdit->setObjectName(QStringLiteral("tbEdit"));
    auto *tools = new QHBoxLayout(tbEdit);
    tools->setContentsMargins(2, 2, 2, 2);
    btnAdd = toolButton(tbEdit, QStringLiteral("btnAdd"), QStyle::SP_FileDialogNewFolder);
    btnEdit = toolButton(tbEdit, QStringLiteral("btnEdit"), QStyle::SP_FileDialogDetailedView);
    btnDelete = toolButton(tbEdit, QStringLiteral("btnDelete"), QStyle::SP_TrashIcon);
    btnOk = toolButton(tbEdit, QStringLiteral("btnOk"), QStyle::SP_DialogApplyButton);
    btnCancel = toolButton(tbEdit, QStringLiteral("btnCancel"), QStyle::SP_DialogCancelButton);
    btnFirst = toolButton(tbEdit, QStringLiteral("btnFirst"), QStyle::SP_MediaSkipBackward);
    btnPrev = toolButton(tbEdit, QStringLiteral("btnPrev"), QStyle::SP_MediaSeekBackward);
    btnNext = toolButton(tbEdit, QStringLiteral("btnNext"), QStyle::SP_MediaSeekForward);
    btnLast = toolButton(tbEdit, QStringLiteral("btnLast"), QStyle::SP_MediaSkipForward);
    btnExit02 = toolButton(tbEdit, QStringLiteral("btnExit02"), QStyle::SP_DialogCloseButton);
    for (QToolButton *b : {btnAdd, btnEdit, btnDelete, btnOk, btnCancel, btnFirst, btnPrev, btnNext,
                           btnLast, btnExit02})
        tools->addWidget(b);
    tools->addStretch();
    // The detail editor is reached only through these buttons, which stay hidden.
    for (QToolButton *b : {btnAdd, btnEdit, btnOk, btnCancel})
        b->hide();
    root->addWidget(tbEdit);

    auto *middle = new QHBoxLayout;
    middle->setSpacing(4);
    pcData = new QStackedWidget(this);
    pcData->setObjectName(QStringLiteral("pcData"));
    dgView = new QTableView(pcData);
    dgView->setObjectName(QStringLiteral("dgView"));
    dgView->setModel(&model_);
    dgView->setSelectionBehavior(QAbstractItemView::SelectRows);
    dgView->setSelectionMode(QAbstractItemView::SingleSelection);
    dgView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    dgView->verticalHeader()->setDefaultSectionSize(22);
    dgView->viewport()->installEventFilter(this);
    pcData->addWidget(dgView);

    tsData = new QWidget(pcData);
    tsData->setObjectName(QStringLiteral("tsData"));
    auto *form = new QFormLayout(tsData);
    lbl01 = new QLabel(tsData);
    lbl02 = new QLabel(tsData);
    lbl03 = new QLabel(tsData);
    edt01 = new QLineEdit(tsData);
    edt01->setObjectName(QStringLiteral("edt01"));
    edt01->setMaxLength(7);
    edt02 = new QLineEdit(tsData);
    edt02->setObjectName(QStringLiteral("edt02"));
    edt02->setMaxLength(16);
    edt03 = new QLineEdit(tsData);
    edt03->setObjectName(QStringLiteral("edt03"));
    edt03->setMaxLength(10);
    form->addRow(lbl01, edt01);
    form->addRow(lbl02, edt02);
    form->addRow(lbl03, edt03);
    pcData->addWidget(tsData);
    middle->addWidget(pcData, 1);

    pnlRight = new QWidget(this);
    pnlRight->setObjectName(QStringLiteral("pnlRight"));
    auto *right = new QVBoxLayout(pnlRight);
    auto *digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,5}")), this);
    lblStartCardNo = new QLabel(pnlRight);
    edtStartCardNo = new QLineEdit(pnlRight);
    edtStartCardNo->setObjectName(QStringLiteral("edtStartCardNo"));
    lblEndCardNo = new QLabel(pnlRight);
    edtEndCardNo = new QLineEdit(pnlRight);
    edtEndCardNo->setObjectName(QStringLiteral("edtEndCardNo"));
    for (QLineEdit *e : {edtStartCardNo, edtEndCardNo}) {
        e->setMaxLength(5);
        e->setValidator(digits);
        e->installEventFilter(this);
    }
    auto *range = new QFormLayout;
    range->addRow(lblStartCardNo, edtStartCardNo);
    range->addRow(lblEndCardNo, edtEndCardNo);
    right->addLayout(range);
    btnBackup = pushButton(pnlRight, QStringLiteral("btnBackup"));
    cbxClearAllUser = new QCheckBox(pnlRight);
    cbxClearAllUser->setObjectName(QStringLiteral("cbxClearAllUser"));
    btnRestore = pushButton(pnlRight, QStringLiteral("btnRestore"));
    btnClearAll = pushButton(pnlRight, QStringLiteral("btnClearAll"));
    btnReadFile = pushButton(pnlRight, QStringLiteral("btnReadFile"));
    btnSaveFile = pushButton(pnlRight, QStringLiteral("btnSaveFile"));
    btnClear = pushButton(pnlRight, QStringLiteral("btnClear"));
    btnExit = pushButton(pnlRight, QStringLiteral("btnExit"));
    right->addWidget(btnBackup);
    right->addWidget(cbxClearAllUser);
    right->addWidget(btnRestore);
    right->addWidget(btnClearAll);
    right->addSpacing(12);
    right->addWidget(btnReadFile);
    right->addWidget(btnSaveFile);
    right->addWidget(btnClear);
    right->addStretch();
    right->addWidget(btnExit);
    pnlRight->setFixedWidth(230);
    middle->addWidget(pnlRight);
    root->addLayout(middle, 1);

    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("sbMain"));
    bar->setSizeGripEnabled(false);
    sbMode = new QLabel(bar);
    sbMode->setObjectName(QStringLiteral("sbMode"));
    sbMode->setAlignment(Qt::AlignCenter);
    sbMode->setMinimumWidth(100);
    sbMessage = new QLabel(bar);
    sbMessage->setObjectName(QStringLiteral("sbMessage"));
    sbMessage->setMinimumWidth(400);
    bar->addWidget(sbMode);
    bar->addWidget(sbMessage, 1);
    root->addWidget(bar);

    connect(btnDelete, &QToolButton::clicked, this, &TfrmCardData::btnDeleteClick);
    connect(btnFirst, &QToolButton::clicked, this, [this] { move(&TableStore::First); });
    connect(btnPrev, &QToolButton::clicked, this, [this] { move(&TableStore::Prior); });
    connect(btnNext, &QToolButton::clicked, this, [this] { move(&TableStore::Next); });
    connect(btnLast, &QToolButton::clicked, this, [this] { move(&TableStore::Last); });
    connect(btnExit02, &QToolButton::clicked, this, &QDialog::reject);
    connect(btnAdd, &QToolButton::clicked, this, &TfrmCardData::editorAdd);
    connect(btnEdit, &QToolButton::clicked, this, &TfrmCardData::editorEdit);
    connect(btnOk, &QToolButton::clicked, this, &TfrmCardData::editorOk);
    connect(btnCancel, &QToolButton::clicked, this, [this] { enterMode(Mode::View); });
    connect(btnBackup, &QPushButton::clicked, this, &TfrmCardData::btnBackupClick);
    connect(btnRestore, &QPushButton::clicked, this, &TfrmCardData::btnRestoreClick);
    connect(btnClearAll, &QPushButton::clicked, this, &TfrmCardData::btnClearAllClick);
    connect(btnReadFile, &QPushButton::clicked, this, &TfrmCardData::btnReadFileClick);
    connect(btnSaveFile, &QPushButton::clicked, this, &TfrmCardData::btnSaveFileClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmCardData::btnClearClick);
    connect(btnExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(&model_, &TableStoreModel::currentRowChanged, this, &TfrmCardData::syncSelection);
    connect(dgView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() + 1 != table_.RecNo())
                    table_.SetRecNo(current.row() + 1);
            });
}

void TfrmCardData::applyLanguage()
{
    setWindowTitle(text(TextRow::CardDataHint));
    btnAdd->setToolTip(text(TextRow::Add));
    btnEdit->setToolTip(text(TextRow::Edit));
    btnDelete->setToolTip(text(TextRow::Delete));
    btnFirst->setToolTip(text(TextRow::First));
    btnPrev->setToolTip(text(TextRow::Prev));
    btnNext->setToolTip(text(TextRow::Next));
    btnLast->setToolTip(text(TextRow::Last));
    btnOk->setToolTip(text(TextRow::Ok));
    btnCancel->setToolTip(text(TextRow::Cancel));
    lblStartCardNo->setText(text(TextRow::CardNoFrom) + QLatin1Char(':'));
    lblEndCardNo->setText(text(TextRow::CardNoTo) + QLatin1Char(':'));
    const QList<QPair<QPushButton *, TextRow>> captions{
        {btnBackup, TextRow::ReadFromDevice},   {btnRestore, TextRow::WriteToDevice},
        {btnClearAll, TextRow::DeleteAllCards}, {btnReadFile, TextRow::ReadFromFile},
        {btnSaveFile, TextRow::WriteToFile},    {btnClear, TextRow::ClearScreenData},
        {btnExit, TextRow::ExitButton}};
    for (const auto &[button, row] : captions) {
        button->setText(text(row));
        button->setToolTip(QString(text(row)).remove(QLatin1Char('&')));
    }
    cbxClearAllUser->setText(text(TextRow::DeleteAllCardsWhileWriting));
    lbl01->setText(text(TextRow::CardNoColumn) + QLatin1Char(':'));
    lbl02->setText(text(TextRow::CardIdColumn) + QLatin1Char(':'));
    lbl03->setText(text(TextRow::CardPinColumn) + QLatin1Char(':'));
    model_.setColumns(
        {QStringLiteral("DataNO"), QStringLiteral("DataID"), QStringLiteral("DataApp"),
         QStringLiteral("DataAPB"), QStringLiteral("DataPIN")},
        {text(TextRow::CardNoColumn), text(TextRow::CardIdColumn), text(TextRow::AppNoColumn),
         text(TextRow::ApbColumn), text(TextRow::CardPinColumn)});
    const int widths[] = {90, 180, 80, 80, 80};
    for (int c = 0; c < 5; ++c)
        dgView->setColumnWidth(c, widths[c]);
    const bool connected = comm_.DeviceConnected();
    btnBackup->setEnabled(connected);
    btnRestore->setEnabled(connected);
    enterMode(mode_);
}

void TfrmCardData::showEvent(QShowEvent *event)
{
    applyLanguage();
    enterMode(Mode::View);
    QDialog::showEvent(event);
}

void TfrmCardData::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applyLanguage();
    QDialog::changeEvent(event);
}

bool TfrmCardData::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dgView->viewport() && event->type() == QEvent::Wheel) {
        if (table_.Active()) {
            const auto *wheel = static_cast<QWheelEvent *>(event);
            move(wheel->angleDelta().y() < 0 ? &TableStore::Next : &TableStore::Prior);
        }
        return true;
    }
    if ((watched == edtStartCardNo || watched == edtEndCardNo) &&
        event->type() == QEvent::KeyRelease)
        normaliseRange();
    return QDialog::eventFilter(watched, event);
}

int TfrmCardData::startCardNumber() const
{
    return numberOr(edtStartCardNo->text(), DefaultStart);
}

int TfrmCardData::endCardNumber() const
{
    return numberOr(edtEndCardNo->text(), DefaultEnd);
}

void TfrmCardData::normaliseRange()
{
    edtStartCardNo->setText(QString::number(startCardNumber()));
    edtEndCardNo->setText(QString::number(endCardNumber()));
    settings_.SaveSetting(QStringLiteral("CardNoMin"), edtStartCardNo->text());
    settings_.SaveSetting(QStringLiteral("CardNoMax"), edtEndCardNo->text());
}

void TfrmCardData::done(int result)
{
    if (!busy_)
        QDialog::done(result);
}

void TfrmCardData::setBusy(bool busy)
{
    busy_ = busy;
    pnlRight->setEnabled(!busy);
    pcData->setEnabled(!busy);
    tbEdit->setEnabled(!busy);
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
    syncSelection();
}

void TfrmCardData::enterMode(Mode mode)
{
    mode_ = mode;
    const TextRow rows[] = {TextRow::ViewMode, TextRow::EditMode, TextRow::AddMode};
    sbMode->setText(text(rows[int(mode)]));
    pcData->setCurrentWidget(mode == Mode::View ? static_cast<QWidget *>(dgView) : tsData);
    tsData->setEnabled(mode != Mode::View);
    edt01->setReadOnly(mode != Mode::Edit);
    edt02->setReadOnly(mode == Mode::View);
    edt03->setReadOnly(mode == Mode::View);
}

void TfrmCardData::move(void (TableStore::*step)())
{
    if (!table_.Active() || table_.IsEmpty())
        return;
    const int before = table_.RecNo();
    (table_.*step)();
    if (table_.RecNo() == before && (table_.Eof() || table_.Bof())) {
        edt01->clear();
        edt02->clear();
        edt03->clear();
    }
    syncSelection();
}

void TfrmCardData::syncSelection()
{
    const int row = table_.RecNo() - 1;
    if (row >= 0 && model_.isAttached())
        dgView->selectRow(row);
}

void TfrmCardData::editorAdd()
{
    int free = 0;
    QSet<QString> taken;
    for (int row = 0; row < table_.RecordCount(); ++row)
        taken.insert(CardTable::RowAt(table_, row).DataNO);
    for (int n = 1; n <= CardCodec::MaxCardNumber; ++n) {
        if (!taken.contains(CardCodec::TableCardNumber(n))) {
            free = n;
            break;
        }
    }
    edt01->setText(QString::number(free));
    edt02->clear();
    edt03->clear();
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
    } else if (mode_ == Mode::Add && table_.Active()) {
        table_.Append();
        table_.SetFieldText(QStringLiteral("DataNO"),
                            CardCodec::TableCardNumber(numberOr(edt01->text(), 0)));
        table_.SetFieldText(QStringLiteral("DataID"), edt02->text().trimmed());
        table_.SetFieldText(QStringLiteral("DataPIN"), CardCodec::ApplyPinRule(edt03->text()));
        table_.Post();
        enterMode(Mode::View);
    }
    model_.attach();
    syncSelection();
}

void TfrmCardData::showRecordCount()
{
    sbMessage->setText(QStringLiteral(" Record Count : ") + QString::number(table_.RecordCount()));
}

void TfrmCardData::btnDeleteClick()
{
    if (table_.Active() && !table_.IsEmpty())
        table_.Delete();
    syncSelection();
}

void TfrmCardData::btnClearClick()
{
    CardTable::Recreate(table_);
}

void TfrmCardData::btnBackupClick()
{
    setBusy(true);
    sbMessage->setText(text(TextRow::Reading));
    normaliseRange();
    model_.detach();
    const CardTransfer::ReadOutcome outcome =
        transfer_.readRange(table_, startCardNumber(), endCardNumber());
    model_.attach();
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
            report += QStringLiteral("The read was cancelled; the cards after the last one read "
                                     "were not read.\n");
        if (outcome.linkLost)
            report += QStringLiteral("The controller stopped answering.\n");
        if (outcome.failedNumbers.isEmpty()) {
            prompt_.message(report, caption);
            return;
        }
        report += QStringLiteral("%1 card number(s) could not be read: %2\n\nThe card list is "
                                 "not complete. Read these numbers again?")
                      .arg(outcome.failedNumbers.size())
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
    const QStringList invalid = CardTransfer::invalidRows(table_);
    bool skipInvalid = false;
    if (!invalid.isEmpty()) {
        const QString question =
            QStringLiteral("Error!\n\n%1 row(s) cannot be written:\n%2\n\nWrite the other rows "
                           "without them? Otherwise nothing is deleted or written.")
                .arg(invalid.size())
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
    reportWrite(outcome);
}

void TfrmCardData::reportWrite(const CardTransfer::WriteOutcome &outcome)
{
    if (outcome.complete() || outcome.nothingToWrite)
        return;
    prompt_.message(QStringLiteral("Error!\n\n") + outcome.problems().join(QLatin1Char('\n')) +
                        QStringLiteral("\n%1 card(s) written.").arg(outcome.written),
                    text(TextRow::SystemMessage));
}

void TfrmCardData::btnClearAllClick()
{
    setBusy(true);
    const CardTransfer::ClearOutcome outcome = transfer_.clearAll();
    finishOperation();
    sbMessage->clear();
    if (!outcome.done)
        prompt_.message(QStringLiteral("Error!\n\n") + text(TextRow::CommunicationError),
                        text(TextRow::SystemMessage));
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
    setBusy(true);
    const QString path = chooseFile(false);
    TableResult result = TableResult::Success();
    if (!path.isEmpty()) {
        settings_.SaveSetting(CardFile::ReadSetting, path);
        model_.detach();
        result = CardFile::Load(table_, path);
        model_.attach();
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
    setBusy(true);
    const QString path = chooseFile(true);
    TableResult result = TableResult::Success();
    if (!path.isEmpty()) {
        result = CardFile::Save(table_, path);
        if (result)
            settings_.SaveSetting(CardFile::SaveSetting, path);
    }
    finishOperation();
    if (path.isEmpty())
        return;
    prompt_.message(result ? QStringLiteral("OK!") : QStringLiteral("Error!\n\n") + result.error(),
                    text(TextRow::SystemMessage));
}
