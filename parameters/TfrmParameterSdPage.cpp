#include "Comm.h"
#include "IconButtonText.h"
#include "Language.h"
#include "NamedWidget.h"
#include "SdCardNotes.h"
#include "TextRow.h"
#include "TfrmParameter.h"
#include "UserPrompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>

// The SD card page: the controller copies its data to or from a slot of its SD card by
// itself; the page starts the copy, follows it and shows the rules for preparing a card.

namespace {

QComboBox *SlotList(const QString &name, QWidget *parent)
{
    auto *combo = Named(new QComboBox(parent), name);
    for (int slot = 1; slot <= SdCardOperation::SlotCount; ++slot)
        combo->addItem(SdCardOperation::SlotText(slot));
    combo->setCurrentIndex(0);
    return combo;
}

QPlainTextEdit *NoteMemo(const QString &name, const QStringList &lines, QWidget *parent)
{
    auto *memo = Named(new QPlainTextEdit(parent), name);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: palette(highlight); "
                                       "color: white; font-weight: bold; }"));
    memo->setPlainText(lines.join(QLatin1Char('\n')));
    memo->hide();
    return memo;
}

} // namespace

QWidget *TfrmParameter::buildSdCardPage()
{
    auto *page = Named(new QWidget(), QStringLiteral("ts03"));
    auto *grid = new QGridLayout(page);
    lbl103 = Named(new QLabel(page), QStringLiteral("lbl103"));
    cbxB = SlotList(QStringLiteral("cbxB"), page);
    btnB = Named(new QToolButton(page), QStringLiteral("btnB"));
    btnB->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    lbl104 = Named(new QLabel(page), QStringLiteral("lbl104"));
    cbxR = SlotList(QStringLiteral("cbxR"), page);
    btnR = Named(new QToolButton(page), QStringLiteral("btnR"));
    btnR->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    for (QToolButton *button : {btnB, btnR})
        button->setIconSize(QSize(24, 24));
    auto *btnExit03 = Named(new QPushButton(page), QStringLiteral("btnExit03"));
    btnExit03->setMinimumHeight(36);
    lblSdState = Named(new QLabel(page), QStringLiteral("lblSdState"));
    lblSdState->setWordWrap(true);
    MemoNote00 = NoteMemo(QStringLiteral("MemoNote00"), ::MemoNote00(), page);
    MemoNote01 = NoteMemo(QStringLiteral("MemoNote01"), ::MemoNote01(), page);
    MemoNote02 = NoteMemo(QStringLiteral("MemoNote02"), ::MemoNote02(), page);

    grid->addWidget(lbl103, 0, 0);
    grid->addWidget(cbxB, 0, 1);
    grid->addWidget(btnB, 0, 2);
    grid->addWidget(lbl104, 1, 0);
    grid->addWidget(cbxR, 1, 1);
    grid->addWidget(btnR, 1, 2);
    grid->addWidget(btnExit03, 0, 4, 2, 1);
    grid->addWidget(lblSdState, 2, 0, 1, 5);
    // The three notes share one place; the one of the current language shows.
    for (QPlainTextEdit *memo : {MemoNote00, MemoNote01, MemoNote02})
        grid->addWidget(memo, 3, 0, 1, 5);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);
    exitButtons_.append(btnExit03);

    connect(btnB, &QToolButton::clicked, this, &TfrmParameter::btnBClick);
    connect(btnR, &QToolButton::clicked, this, &TfrmParameter::btnRClick);
    connect(btnExit03, &QPushButton::clicked, this, &QDialog::close);
    connect(&sd_, &SdCardOperation::status, this,
            [this](const QString &status) { setStatus(QString(), status); });
    // The state line follows the copy as the controller reports it.
    connect(&sd_, &SdCardOperation::controllerState, this,
            [this](const SdCardOperation::Status &status) {
                lblSdState->setText(SdCardOperation::StateText(status));
            });
    return page;
}

void TfrmParameter::applySdCardLanguage()
{
    lbl103->setText(text(TextRow::SdCardBackup) + QLatin1Char(':'));
    lbl104->setText(text(TextRow::SdCardRestore) + QLatin1Char(':'));
    SetIconButtonText(btnB, text(TextRow::SdCardBackup));
    SetIconButtonText(btnR, text(TextRow::SdCardRestore));
    const int shown = language_.EffectiveIndex();
    const QList<QPlainTextEdit *> notes{MemoNote00, MemoNote01, MemoNote02};
    for (int index = 0; index < notes.size(); ++index)
        notes[index]->setVisible(index == shown);
}

void TfrmParameter::showPages(Pages pages)
{
    const bool parameters = pages == Pages::Parameters;
    pcMain->setTabVisible(pcMain->indexOf(ts01), parameters);
    pcMain->setTabVisible(pcMain->indexOf(ts02), parameters);
    pcMain->setTabVisible(pcMain->indexOf(ts03), !parameters);
    pcMain->setCurrentWidget(parameters ? ts01 : ts03);
}

void TfrmParameter::btnBClick()
{
    runSdCard(SdCardOperation::Kind::Backup, cbxB->currentText());
}

void TfrmParameter::btnRClick()
{
    runSdCard(SdCardOperation::Kind::Restore, cbxR->currentText());
}

void TfrmParameter::runSdCard(SdCardOperation::Kind kind, const QString &slot)
{
    ParamResult result;
    SdCardOperation::Outcome outcome;
    runBusy(result, [&] { outcome = sd_.run(kind, slot); });
    setStatus(QString(), QString());
    if (!result.success) {
        report(result, true);
        return;
    }
    lblSdState->setText(SdCardOperation::StateText(outcome.last));
    for (const QString &message : outcome.messages(kind))
        prompt_.message(message, text(TextRow::SystemMessage));
    // Given up or cancelled while the controller may still copy: the page asks again what it
    // does.
    if (outcome.ending == SdCardOperation::Ending::GaveUp)
        refreshSdState();
}

void TfrmParameter::refreshSdState()
{
    if (!comm_.DeviceConnected())
        return;
    ParamResult result;
    std::optional<SdCardOperation::Status> status;
    runBusy(result, [&] { status = sd_.readStatus(); });
    lblSdState->setText(SdCardOperation::StateText(status));
}
