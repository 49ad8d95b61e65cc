#include "TfrmParameter.h"

#include "Comm.h"
#include "IconButtonText.h"
#include "Language.h"
#include "PageLayout.h"
#include "PageParameter.h"
#include "PageParameterIo.h"
#include "ParamDefaults.h"
#include "ParamFilePaths.h"
#include "ParamFileTransfer.h"
#include "ProgressState.h"
#include "Settings.h"
#include "SharedFlag.h"
#include "TextRow.h"
#include "UserPrompt.h"

#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMoveEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QShowEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

Q_LOGGING_CATEGORY(lcParamWindow, "kt480.params")

const QString Colon = QStringLiteral(":");
const QString TwoSpaces = QStringLiteral("  ");

} // namespace

TfrmParameter::TfrmParameter(Comm &comm, Settings &settings, const Language &language,
                             ProgressState &progress, SharedFlag &batchMode,
                             SharedFlag &clockReadPaused, UserPrompt &prompt,
                             const QString &versionText, QWidget *parent)
    : QDialog(parent), comm_(comm), settings_(settings), language_(language), progress_(progress),
      batchMode_(batchMode), prompt_(prompt), versionText_(versionText),
      transfer_(comm, progress, clockReadPaused), sd_(transfer_, clockReadPaused, language),
      io_(std::make_unique<PageParameterIo>(transfer_)),
      files_(std::make_unique<ParamFileTransfer>(transfer_, settings, prompt, language))
{
    setObjectName(QStringLiteral("TfrmParameter"));
    buildWindow();
    edPath01->setText(ParamFilePaths::InitialExportPath(settings_));
    edPath02->setText(ParamFilePaths::InitialImportPath(settings_));
    connect(io_.get(), &PageParameterIo::rowStarted, this, [this](int number, bool writing) {
        setStatus(QString(), text(writing ? TextRow::Writing : TextRow::Reading) + TwoSpaces +
                                 rowCaption(number));
    });
    connect(io_.get(), &PageParameterIo::rowRead, this, [this](int number, const QString &value) {
        const PageParameter &parameter = *FindPageParameter(number);
        paramBox(number)->setCurrentIndex(value.toInt() - parameter.lowest);
    });
    applyLanguage();
}

TfrmParameter::~TfrmParameter() = default;

void TfrmParameter::setRetryPause(std::chrono::milliseconds pause)
{
    transfer_.setRetryPause(pause);
}

QString TfrmParameter::text(TextRow row) const
{
    return language_.TableText(row);
}

QString TfrmParameter::rowCaption(int number) const
{
    return language_.TableText(FindPageParameter(number)->captionRow);
}

QString TfrmParameter::statusText(int panel) const
{
    return (panel == 0 ? statusPanel0_ : statusPanel1_)->text();
}

void TfrmParameter::setStatus(const QString &panel0, const QString &panel1)
{
    statusPanel0_->setText(panel0);
    statusPanel1_->setText(panel1);
}

void TfrmParameter::applyLanguage()
{
    setWindowTitle(text(TextRow::ParameterHint));
    pcMain->setTabText(pcMain->indexOf(ts01), text(TextRow::TabParameterBackupRestore));
    pcMain->setTabText(pcMain->indexOf(ts02), text(TextRow::TabSpecialParameterSetup));
    pcMain->setTabText(pcMain->indexOf(ts03), text(TextRow::TabSdCardBackupRestore));
    for (auto it = paramLabel_.cbegin(); it != paramLabel_.cend(); ++it)
        it.value()->setText(rowCaption(it.key()) + Colon);
    // Each arrow names its row: a screen reader reads the button alone.
    for (auto it = readButtons_.cbegin(); it != readButtons_.cend(); ++it)
        SetIconButtonText(it.value(), text(TextRow::ReadFromDevice) + QStringLiteral(": ") +
                                          rowCaption(it.key()));
    for (auto it = writeButtons_.cbegin(); it != writeButtons_.cend(); ++it)
        SetIconButtonText(it.value(), text(TextRow::WriteToDevice) + QStringLiteral(": ") +
                                          rowCaption(it.key()));
    btnRxAll->setText(text(TextRow::ReadFromDeviceAll));
    btnTxAll->setText(text(TextRow::WriteToDeviceAll));
    btnDefault->setText(text(TextRow::DefaultButton));
    for (QPushButton *button : exitButtons_)
        button->setText(text(TextRow::ExitButton));
    btnBackup->setText(text(TextRow::ReadFromDevice));
    btnBackup->setToolTip(text(TextRow::ReadFromDevice));
    btnRestore->setText(text(TextRow::WriteToDevice));
    btnRestore->setToolTip(text(TextRow::WriteToDevice));
    SetIconButtonText(btnOpenFile01, tr("Choose the export file…"));
    SetIconButtonText(btnOpenFile02, tr("Choose the import file…"));
    lbl101->setText(text(TextRow::ExportPath) + Colon);
    lbl102->setText(text(TextRow::ImportPath) + Colon);
    btnBackup->setEnabled(comm_.DeviceConnected());
    btnRestore->setEnabled(comm_.DeviceConnected());
    applySdCardLanguage();
}

void TfrmParameter::applyVersionRows()
{
    for (auto it = rowWidgets_.cbegin(); it != rowWidgets_.cend(); ++it) {
        const bool visible = PageLayout::RowVisible(it.key(), versionText_);
        for (QWidget *widget : it.value())
            widget->setVisible(visible);
    }
}

void TfrmParameter::showDefaults()
{
    for (const PageParameter &parameter : PageParameters())
        paramBox(parameter.number)->setCurrentText(parameter.defaultValue);
}

// Only what the controller confirmed is shown; the other rows keep their values.
void TfrmParameter::showConfirmed(const ParamResult &result)
{
    for (const ParamValue &value : result.values) {
        if (const PageParameter *parameter = FindPageParameter(value.code))
            paramBox(parameter->number)->setCurrentText(value.value);
    }
}

void TfrmParameter::report(const ParamResult &result, bool showBox)
{
    lastResult_ = result;
    if (showBox)
        prompt_.message(result.reportText(), text(TextRow::SystemMessage));
}

void TfrmParameter::done(int result)
{
    if (!busy_)
        QDialog::done(result);
}

void TfrmParameter::runBusy(ParamResult &result, const std::function<void()> &operation)
{
    busy_ = true;
    pcMain->setEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([this] {
        QGuiApplication::restoreOverrideCursor();
        pcMain->setEnabled(true);
        busy_ = false;
    });
    try {
        operation();
        return;
    } catch (const std::exception &error) {
        qCWarning(lcParamWindow, "%s ended by an exception: %s", qPrintable(windowTitle()),
                  error.what());
    } catch (...) {
        qCWarning(lcParamWindow, "%s ended by an unknown exception", qPrintable(windowTitle()));
    }
    // Whatever the operation had found so far, it did not finish: never "OK!".
    result = ParamResult();
    result.fail(tr("The operation ended unexpectedly."));
}

ParamResult TfrmParameter::allRows(bool writing, const std::function<ParamResult()> &rows)
{
    // A controller that has gone silent keeps the 22 rows going for many seconds: the
    // progress window shows how far they are and offers Cancel.
    progress_.begin(text(TextRow::ParameterHint),
                    text(writing ? TextRow::Writing : TextRow::Reading),
                    int(PageParameters().size()) + 1, true);
    const auto end = qScopeGuard([this] { progress_.end(); });
    return rows();
}

void TfrmParameter::btn101Click(int number)
{
    ParamResult result;
    runBusy(result, [&] { result = io_->readOne(number); });
    setStatus(QString(), QString());
    report(result, reportEach_);
}

void TfrmParameter::btn201Click(int number)
{
    ParamResult result;
    runBusy(result, [&] { result = io_->writeOne(number, paramBox(number)->currentText()); });
    setStatus(QString(), QString());
    report(result, reportEach_);
}

void TfrmParameter::btnRxAllClick()
{
    reportEach_ = false;
    const auto again = qScopeGuard([this] { reportEach_ = true; });
    ParamResult all;
    runBusy(all, [&] { all = allRows(false, [this] { return io_->readAll(); }); });
    setStatus(QString(), all.success ? QString() : CodeList(all.failedCodes));
    report(all, true);
}

void TfrmParameter::btnTxAllClick()
{
    reportEach_ = false;
    const auto again = qScopeGuard([this] { reportEach_ = true; });
    QMap<int, QString> values;
    for (auto it = paramBox_.cbegin(); it != paramBox_.cend(); ++it)
        values.insert(it.key(), it.value()->currentText());
    ParamResult all;
    runBusy(all, [&] { all = allRows(true, [&] { return io_->writeAll(values); }); });
    setStatus(QString(), all.success ? QString() : CodeList(all.failedCodes));
    report(all, true);
}

void TfrmParameter::btnDefaultClick()
{
    ParamResult result;
    runBusy(result, [&] {
        setStatus(QString(), text(TextRow::Writing));
        QCoreApplication::processEvents();
        result = ParamDefaults(transfer_, language_).apply();
        showConfirmed(result);
    });
    setStatus(QString(), result.success ? QString() : CodeList(result.failedCodes));
    report(result, true);
}

void TfrmParameter::btnOpenFile01Click()
{
    const QString chosen = prompt_
                               .saveFileName(ParamFilePaths::InitialExportPath(settings_),
                                             ParamFilePaths::DialogFilter)
                               .trimmed();
    if (chosen.isEmpty())
        return;
    edPath01->setText(chosen);
    settings_.SaveSetting(ParamFilePaths::ExportSetting, edPath01->text());
}

void TfrmParameter::btnOpenFile02Click()
{
    const QString chosen = prompt_
                               .openFileName(ParamFilePaths::InitialImportPath(settings_),
                                             ParamFilePaths::DialogFilter)
                               .trimmed();
    if (chosen.isEmpty())
        return;
    edPath02->setText(WithXmlExtension(chosen));
    settings_.SaveSetting(ParamFilePaths::ImportSetting, edPath02->text());
}

void TfrmParameter::btnBackupClick()
{
    ParamResult result;
    runBusy(result, [&] {
        setStatus(QString(), text(TextRow::Reading));
        result = files_->backup(edPath01->text());
    });
    setStatus(QString(), QString());
    // In batch mode the caller reports success; a failure is still told here.
    report(result, !result.success || !batchMode_.isSet());
}

void TfrmParameter::btnRestoreClick()
{
    ParamResult result;
    runBusy(result, [&] {
        setStatus(QString(), text(TextRow::Writing));
        result = files_->restore(edPath02->text());
        // The setup page would otherwise show what the controller held before the restore,
        // and a Write all from it would undo the restore.
        showConfirmed(result);
    });
    setStatus(QString(), QString());
    // In batch mode the caller reports success; a failure is still told here.
    report(result, !result.success || !batchMode_.isSet());
}

void TfrmParameter::readAllQuietly()
{
    reportEach_ = false;
    const auto again = qScopeGuard([this] { reportEach_ = true; });
    ParamResult all;
    runBusy(all, [&] { all = allRows(false, [this] { return io_->readAll(); }); });
    // A row the controller did not answer shows no value instead of its default: Write all
    // would otherwise write that default over a value nobody has seen. No box follows the
    // first read; the status bar names those rows.
    for (const QString &code : all.failedCodes) {
        if (const PageParameter *parameter = FindPageParameter(code))
            paramBox(parameter->number)->setEditText(QString());
    }
    setStatus(QString(), all.success ? QString() : CodeList(all.failedCodes));
    report(all, false);
}

void TfrmParameter::tmrStartTimer()
{
    applyVersionRows();
    readAllQuietly();
    if (pcMain->isTabVisible(pcMain->indexOf(ts03)))
        refreshSdState();
}

void TfrmParameter::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    showDefaults();
    QTimer::singleShot(1, this, &TfrmParameter::tmrStartTimer);
}

void TfrmParameter::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        applyLanguage();
}

void TfrmParameter::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    emit moved(frameGeometry());
}
