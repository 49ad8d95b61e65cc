#pragma once

#include "ReadOutcome.h"
#include "RecordReader.h"
#include "ReportHeader.h"
#include "TableGrid.h"
#include "TableStore.h"
#include "TableStoreModel.h"
#include "TextRow.h"

#include <QDialog>
#include <QFont>
#include <memory>
#include <optional>

class Comm;
class Language;
class ProgressState;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;
class RecordJournal;
class Settings;
class UserPrompt;

// The record window: the controller's event log in a grid, read from the controller event by
// event, saved to and loaded from the record file, printed, and exported as PDF or CSV.
// Events read are journalled until they are saved, so that closing the window, a crash or a
// power cut never loses an event the controller has already forgotten.
class TfrmIOdata : public QDialog
{
    Q_OBJECT

public:
    struct Controller
    {
        // The identified controller's serial number; empty when none is connected.
        QString serialNumber;
        // Where its journal lives.
        QString journalFolder;
    };

    TfrmIOdata(Comm &comm, Settings &settings, const Language &language, ProgressState &progress,
               UserPrompt &prompt, Controller controller, QWidget *parent = nullptr);
    ~TfrmIOdata() override;

    TableStore &table() { return table_; }
    RecordReader &reader() { return reader_; }
    // Events read from the controller and not yet saved in a file.
    int unsavedEvents() const;
    std::optional<ReadOutcome> lastRead() const { return lastRead_; }
    QString statusText(int panel) const;

    QWidget *tbEdit = nullptr;
    QToolButton *btnDelete = nullptr;
    QToolButton *btnFirst = nullptr;
    QToolButton *btnPrev = nullptr;
    QToolButton *btnNext = nullptr;
    QToolButton *btnLast = nullptr;
    QToolButton *btnExit = nullptr;
    QTableView *dgView = nullptr;
    QWidget *pnl = nullptr;
    QLabel *lblEndIONo = nullptr;
    QLineEdit *edtEndIONo = nullptr;
    QPushButton *btnDeviceRead = nullptr;
    QPushButton *btnOutput = nullptr;
    QPushButton *btnExportPdf = nullptr;
    QPushButton *btnExportCsv = nullptr;
    QPushButton *btnSaveFile = nullptr;
    QPushButton *btnSaveArchive = nullptr;
    QPushButton *btnReadFile = nullptr;
    QPushButton *btnClear = nullptr;

    void btnDeleteClick();
    void btnDeviceReadClick();
    void btnOutputClick();
    void btnExportPdfClick();
    void btnExportCsvClick();
    void btnSaveFileClick();
    // Stores the table's events in the archive the settings name (shown only when they name
    // one); the journal is cleared only once the archive has committed.
    void btnSaveArchiveClick();
    void btnReadFileClick();
    void btnClearClick();
    // The count query: the number in edtEndIONo, shown only when the controller holds events.
    void showRecordCount(std::optional<qint64> count);

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void reject() override;

private:
    void buildUi();
    void buildToolBar();
    void buildRightPanel();
    void applyLanguage();
    void setControlsEnabled(bool enabled);
    void setBusy(bool busy);
    void finishOperation();
    void enterViewMode();
    void openJournal();
    void askCountAndJournal();
    void offerJournal();
    // True when there are no unsaved events, or the user agrees to lose them.
    bool mayLoseUnsaved(const QString &action);
    // The unsaved events are in a file now, or the user gave them up.
    void forgetUnsaved();
    QString chooseRecordFile(bool forSaving);
    QString chooseExportFile(const QString &suffix, const QString &filter);
    bool mayReplace(const QString &path);
    void reportFileError(const TableResult &result);
    QString text(TextRow row) const;
    // The report names the controller only when every row came from it.
    ReportHeader reportHeader() const;

    Comm &comm_;
    Settings &settings_;
    const Language &language_;
    ProgressState &progress_;
    UserPrompt &prompt_;
    const Controller controller_;
    TableStore table_;
    TableStoreModel model_;
    TableGrid *grid_ = nullptr;
    RecordReader reader_;
    std::unique_ptr<RecordJournal> journal_;
    std::optional<ReadOutcome> lastRead_;
    bool previewOpen_ = false;
    // Rows were loaded from a file: which controller they came from is not known.
    bool rowsFromFile_ = false;
    bool shownOnce_ = false;
    int gridLanguage_ = -1;
    QFont gridFont_;

    QLabel *sbMode = nullptr;
    QLabel *sbMessage = nullptr;
};
