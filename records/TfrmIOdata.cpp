#include "TfrmIOdata.h"

#include "ArchiveBatch.h"
#include "Comm.h"
#include "EventArchive.h"
#include "Language.h"
#include "ProgressState.h"
#include "RecordFile.h"
#include "RecordJournal.h"
#include "RecordReport.h"
#include "RecordTable.h"
#include "RememberedPath.h"
#include "Settings.h"
#include "TableCsv.h"
#include "UserPrompt.h"
#include "XmlPathRule.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

TfrmIOdata::TfrmIOdata(Comm &comm, Settings &settings, const Language &language,
                       ProgressState &progress, UserPrompt &prompt, Controller controller,
                       QWidget *parent)
    : QDialog(parent), comm_(comm), settings_(settings), language_(language), progress_(progress),
      prompt_(prompt), controller_(std::move(controller)), model_(table_),
      reader_(comm, progress, language)
{
    setObjectName(QStringLiteral("TfrmIOdata"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    resize(780, 580);
    RecordTable::Recreate(table_);
    buildUi();
    connect(&reader_, &RecordReader::status, sbMessage, [this](const QString &status) {
        sbMessage->setText(status);
        sbMessage->repaint();
    });
    openJournal();
    applyLanguage();
    enterViewMode();
}

TfrmIOdata::~TfrmIOdata()
{
    // The progress window never outlives the operation that showed it.
    if (progress_.running())
        progress_.end();
}

QString TfrmIOdata::text(TextRow row) const
{
    return language_.TableText(row);
}

int TfrmIOdata::unsavedEvents() const
{
    return journal_ && journal_->isOpen() ? journal_->pendingCount() : 0;
}

QString TfrmIOdata::statusText(int panel) const
{
    return panel == 0 ? sbMode->text() : sbMessage->text();
}

void TfrmIOdata::showEvent(QShowEvent *event)
{
    applyLanguage();
    QDialog::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    enterViewMode();
    showRecordCount(std::nullopt);
    // Asked once the window stands and its modal loop runs: a slow controller keeps the query
    // going for seconds, and a close in that time must end that loop, not one not yet entered.
    QTimer::singleShot(0, this, &TfrmIOdata::askCountAndJournal);
}

void TfrmIOdata::askCountAndJournal()
{
    if (comm_.DeviceConnected()) {
        setBusy(true);
        showRecordCount(reader_.countQuery());
        setBusy(false);
    }
    offerJournal();
}

void TfrmIOdata::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applyLanguage();
    QDialog::changeEvent(event);
}

bool TfrmIOdata::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == dgView && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        btnDeleteClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmIOdata::reject()
{
    // A running operation ends first; Escape or the close box do not break it off. Events
    // not saved yet stay in the journal, and the next opening of the window offers them.
    if (!pnl->isEnabled())
        return;
    QDialog::reject();
}

void TfrmIOdata::openJournal()
{
    if (controller_.serialNumber.isEmpty())
        return;
    journal_ = std::make_unique<RecordJournal>(
        RecordJournal::PathFor(controller_.journalFolder, controller_.serialNumber));
    if (journal_->open())
        return;
    const QString error = journal_->error();
    journal_.reset();
    QTimer::singleShot(0, this, [this, error] {
        prompt_.message(QStringLiteral("Error!\n") + error + QLatin1Char('\n') +
                            tr("Events cannot be read from the controller while the journal "
                               "that keeps them safe cannot be written."),
                        text(TextRow::SystemMessage));
    });
}

void TfrmIOdata::offerJournal()
{
    if (journal_ && !journal_->unreadableNote().isEmpty())
        prompt_.message(QStringLiteral("Error!\n") + journal_->unreadableNote(),
                        text(TextRow::SystemMessage));
    const int pending = unsavedEvents();
    if (pending == 0)
        return;
    const QString question =
        tr("An earlier read of controller %1 left %n event(s) that were acknowledged but never "
           "saved in a file. The controller no longer holds them.\n\n"
           "Take them into the table? If not, these %n event(s) are lost.",
           nullptr, pending)
            .arg(controller_.serialNumber);
    // Escape and the close box answer No too; the events go only when that is confirmed, and
    // otherwise are taken as on Yes.
    if (!prompt_.question(question, text(TextRow::SystemMessage)) &&
        prompt_.question(tr("These %n event(s) are in no file, and the controller no longer "
                            "holds them. Lose them for good?",
                            nullptr, pending),
                         text(TextRow::SystemMessage))) {
        journal_->clearPending();
        return;
    }
    model_.detach();
    for (const JournalEntry &entry : journal_->pending())
        RecordTable::Append(table_, entry.record);
    model_.attach();
    finishOperation();
    sbMessage->setText(tr("%n unsaved event(s) taken from the journal.", nullptr, pending));
}

bool TfrmIOdata::mayLoseUnsaved(const QString &action)
{
    const int pending = unsavedEvents();
    if (pending == 0)
        return true;
    const QString question =
        tr("%n event(s) read from the controller are not saved in a file, and the controller no "
           "longer holds them. %1 and lose these %n event(s)?",
           nullptr, pending)
            .arg(action);
    return prompt_.question(question, text(TextRow::SystemMessage));
}

void TfrmIOdata::forgetUnsaved()
{
    if (unsavedEvents() > 0 && !journal_->clearPending())
        prompt_.message(QStringLiteral("Error!\n") + journal_->error(),
                        text(TextRow::SystemMessage));
}

void TfrmIOdata::setControlsEnabled(bool enabled)
{
    pnl->setEnabled(enabled);
    tbEdit->setEnabled(enabled);
    dgView->setEnabled(enabled);
}

void TfrmIOdata::setBusy(bool busy)
{
    setControlsEnabled(!busy);
    if (busy) {
        enterViewMode();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents();
    } else {
        QApplication::restoreOverrideCursor();
    }
}

void TfrmIOdata::finishOperation()
{
    enterViewMode();
    table_.First();
    grid_->syncSelection();
}

void TfrmIOdata::enterViewMode()
{
    sbMode->setText(text(TextRow::ViewMode));
    sbMessage->clear();
}

void TfrmIOdata::btnDeleteClick()
{
    grid_->deleteCurrent();
}

void TfrmIOdata::showRecordCount(std::optional<qint64> count)
{
    const qint64 number = count.value_or(0);
    edtEndIONo->setText(QString::number(number));
    lblEndIONo->setVisible(number > 0);
    edtEndIONo->setVisible(number > 0);
}

void TfrmIOdata::btnDeviceReadClick()
{
    if (!journal_ || !comm_.DeviceConnected())
        return;
    setBusy(true);
    bool ok = false;
    const qint64 typed = edtEndIONo->text().trimmed().toLongLong(&ok);
    const qint64 limit = edtEndIONo->isVisible() ? (ok ? typed : 0) : RecordReader::NoLimit;
    sbMessage->setText(text(TextRow::Reading));
    model_.detach();
    const ReadOutcome outcome = reader_.read(table_, *journal_, limit);
    model_.attach();
    lastRead_ = outcome;
    showRecordCount(outcome.remaining);
    setBusy(false);
    finishOperation();
    QString message = outcome.summary();
    if (unsavedEvents() > 0)
        message += QStringLiteral("\n\n") +
                   tr("%n event(s) are not yet saved in a file: use \"Write to file\".", nullptr,
                      unsavedEvents());
    prompt_.message(message, text(TextRow::SystemMessage));
}

void TfrmIOdata::btnOutputClick()
{
    if (table_.IsEmpty() || previewOpen_)
        return;
    previewOpen_ = true;
    setControlsEnabled(false);
    {
        const RecordReport report(table_, language_.EffectiveIndex(), reportHeader());
        QPrintPreviewDialog preview(this);
        preview.setObjectName(QStringLiteral("dlgPreview"));
        preview.setWindowTitle(report.captions().title);
        preview.resize(900, 760);
        connect(&preview, &QPrintPreviewDialog::paintRequested, this,
                [&report](QPrinter *printer) { report.render(*printer); });
        preview.exec();
    }
    setControlsEnabled(true);
    finishOperation();
    previewOpen_ = false;
}

QString TfrmIOdata::chooseExportFile(const QString &suffix, const QString &filter)
{
    const QFileInfo record(
        RememberedPath(settings_, RecordFile::SaveSetting, RecordFile::DefaultPath()));
    const QString proposed = record.dir().filePath(record.completeBaseName() + suffix);
    // mayReplace() asks about an existing file, once.
    QString chosen = prompt_.saveFileNameAskedLater(proposed, filter).trimmed();
    if (chosen.isEmpty())
        return {};
    if (!chosen.endsWith(suffix, Qt::CaseInsensitive))
        chosen += suffix;
    return chosen;
}

bool TfrmIOdata::mayReplace(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    const bool yes =
        prompt_.question(RecordFile::OverwriteQuestion, QStringLiteral("System Message"));
    raise();
    activateWindow();
    return yes;
}

void TfrmIOdata::reportFileError(const TableResult &result)
{
    if (!result)
        prompt_.message(QStringLiteral("Error!\n") + result.error(), text(TextRow::SystemMessage));
}

void TfrmIOdata::btnExportPdfClick()
{
    if (table_.IsEmpty())
        return;
    setBusy(true);
    const QString path = chooseExportFile(QStringLiteral(".pdf"), tr("PDF files (*.pdf)"));
    TableResult result = TableResult::Success();
    if (!path.isEmpty() && mayReplace(path))
        result = RecordReport(table_, language_.EffectiveIndex(), reportHeader()).writePdf(path);
    setBusy(false);
    finishOperation();
    if (!path.isEmpty() && result)
        sbMessage->setText(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
    reportFileError(result);
}

void TfrmIOdata::btnExportCsvClick()
{
    if (table_.IsEmpty())
        return;
    setBusy(true);
    const QString path = chooseExportFile(QStringLiteral(".csv"), tr("CSV files (*.csv)"));
    TableResult result = TableResult::Success();
    if (!path.isEmpty() && mayReplace(path))
        result = WriteCsvFile(table_, path);
    setBusy(false);
    finishOperation();
    if (!path.isEmpty() && result)
        sbMessage->setText(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
    reportFileError(result);
}

QString TfrmIOdata::chooseRecordFile(bool forSaving)
{
    const QString proposed =
        RememberedPath(settings_, forSaving ? RecordFile::SaveSetting : RecordFile::ReadSetting,
                       RecordFile::DefaultPath());
    // mayReplace() asks about an existing file, once.
    const QString chosen =
        (forSaving ? prompt_.saveFileNameAskedLater(proposed, RecordFile::DialogFilter)
                   : prompt_.openFileName(proposed, RecordFile::DialogFilter))
            .trimmed();
    return chosen.isEmpty() ? QString() : WithXmlExtension(chosen);
}

void TfrmIOdata::btnSaveFileClick()
{
    if (!table_.Active() || table_.IsEmpty())
        return;
    setBusy(true);
    const QString path = chooseRecordFile(true);
    bool saved = false;
    TableResult result = TableResult::Success();
    if (!path.isEmpty() && mayReplace(path)) {
        // A program ending between the save and the journal's clearing must not leave the
        // events to be offered again.
        if (unsavedEvents() > 0)
            journal_->noteSaving({path});
        result = RecordFile::Save(table_, path);
        if (result) {
            saved = true;
            settings_.SaveSetting(RecordFile::SaveSetting, path);
            // Every event read is in the file now; the journal may forget them.
            forgetUnsaved();
        }
    }
    setBusy(false);
    finishOperation();
    if (saved)
        sbMessage->setText(tr("Saved %1").arg(QDir::toNativeSeparators(path)));
    reportFileError(result);
}

void TfrmIOdata::btnReadFileClick()
{
    setBusy(true);
    const QString path = chooseRecordFile(false);
    TableResult result = TableResult::Success();
    if (!path.isEmpty() && mayLoseUnsaved(tr("Load the file"))) {
        if (QFileInfo::exists(path))
            settings_.SaveSetting(RecordFile::ReadSetting, path);
        model_.detach();
        result = RecordFile::Load(table_, path);
        model_.attach();
        if (result) {
            rowsFromFile_ = true;
            forgetUnsaved();
        }
    }
    setBusy(false);
    finishOperation();
    reportFileError(result);
}

void TfrmIOdata::btnClearClick()
{
    if (!mayLoseUnsaved(tr("Clear the table")))
        return;
    forgetUnsaved();
    model_.detach();
    RecordTable::Recreate(table_);
    model_.attach();
    rowsFromFile_ = false;
    finishOperation();
}

ReportHeader TfrmIOdata::reportHeader() const
{
    return {rowsFromFile_ ? QString() : controller_.serialNumber, {}};
}

void TfrmIOdata::btnSaveArchiveClick()
{
    if (!table_.Active() || table_.IsEmpty() || controller_.serialNumber.isEmpty())
        return;
    if (rowsFromFile_ &&
        !prompt_.question(tr("The table holds events loaded from a file, which does not say "
                             "which controller they are of. Store all of them in the archive "
                             "as events of controller %1?")
                              .arg(controller_.serialNumber),
                          text(TextRow::SystemMessage)))
        return;
    setBusy(true);
    QString error;
    std::optional<EventArchive::Stored> stored;
    if (const std::optional<ArchiveAddress> address =
            ArchiveAddress::parse(settings_.LoadSetting(ArchiveAddress::Setting), error)) {
        EventArchive archive(*address);
        if (archive.open(EventArchive::Use::Write))
            stored = archive.store(ArchiveBatch::FromTable(
                controller_.serialNumber, QString(), table_,
                unsavedEvents() > 0 ? journal_->pending() : QList<JournalEntry>()));
        error = archive.error();
    }
    // Every event read is in the archive now; the journal may forget them.
    if (stored)
        forgetUnsaved();
    setBusy(false);
    finishOperation();
    if (stored)
        sbMessage->setText(
            tr("%n event(s) added to the archive, %1 there already.", nullptr, stored->added)
                .arg(stored->present));
    else
        prompt_.message(QStringLiteral("Error!\n") + error, text(TextRow::SystemMessage));
}
