#pragma once

#include "CardEnrolment.h"
#include "CardRange.h"
#include "CardSync.h"
#include "CardTransfer.h"
#include "ComPortMap.h"
#include "ReaderPoller.h"
#include "ReaderSearch.h"
#include "TableGrid.h"
#include "TableStore.h"
#include "TableStoreModel.h"
#include "TextRow.h"

#include <QDialog>
#include <functional>

class CircleIndicator;
class Comm;
class Language;
class ProgressState;
class Settings;
class SharedFlag;
class UserPrompt;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class QToolButton;
class QWidget;

// The card window: the card table in a grid, the card number range, reading and writing
// the controller's cards, deleting them all, the card file, and quick add with the desk
// reader. The transfers and quick add's rules live in widget-free classes; the window does
// the steps a person sees around them.
class TfrmCardData : public QDialog
{
    Q_OBJECT

public:
    struct Options
    {
        // Shows the detail editor's toolbar buttons.
        bool expert = false;
        // Lists the machine's serial ports as "COM<n>" names and fills the map with their
        // devices (quick add searches them for the reader).
        std::function<QStringList(ComPortMap &)> portLister;
        // The COM number of the controller's serial link, 0 when none: never probed.
        int controllerPort = 0;
        // The identified controller's serial number, named before its cards are deleted.
        QString serialNumber;
    };

    TfrmCardData(Comm &comm, Settings &settings, const Language &language, ProgressState &progress,
                 SharedFlag &clockReadPaused, UserPrompt &prompt, Options options,
                 QWidget *parent = nullptr);
    ~TfrmCardData() override;

    QString VersionText;

    TableStore &table() { return table_; }
    CardTransfer &transfer() { return transfer_; }
    CardSync &sync() { return sync_; }
    ReaderSearch &readerSearch() { return readerSearch_; }
    ReaderPoller &poller() { return poller_; }
    QCheckBox *clearAllBox() const { return cbxClearAllUser; }
    QCheckBox *writeChangesOnlyBox() const { return cbxWriteChangesOnly; }
    bool quickAddRunning() const { return quickAdding_; }

    void btnBackupClick();
    void btnRestoreClick();
    void btnClearAllClick();
    void btnReadFileClick();
    void btnSaveFileClick();
    void btnClearClick();
    void btnAddCardClick();
    // Ends quick add; the card shown in the panel is added first. Nothing when not running.
    void btnStopClick();

    // The card number range of the edits after normalisation (also written back and stored).
    CardRange cardRange() const;
    // Both boxes as plain numbers, an empty one given its default; written back and stored.
    void normaliseRange();

    // Refused while an operation runs (Escape, the close button, close()): the operation
    // would go on with its window gone. Quick add is stopped first, its card added; cards
    // added or changed here and not yet written or saved are lost only when the user agrees.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Mode
    {
        View,
        Edit,
        Add
    };

    void buildUi();
    QWidget *buildToolBar();
    QWidget *buildRightPanel();
    void buildDetailEditor();
    void buildQuickAddPanel();
    void applyLanguage();
    // The controller actions follow the link: enabled only while a controller is identified.
    void showLinkState();
    // As normaliseRange(), but a box the person emptied stays empty while they type.
    void normaliseTypedRange();
    void fillApbEntries();
    void placeOverlays();
    void setBusy(bool busy);
    void setPanelsEnabled(bool enabled);
    void finishOperation();
    // True when nothing unsaved is in the table or the user agrees to lose it.
    bool mayLoseUnsavedCards();
    void enterMode(Mode mode);
    QString modeText() const;
    void clearEditor();
    void editorAdd();
    void editorEdit();
    void editorOk();
    void showRecordCount();
    void reportRead(CardTransfer::ReadOutcome outcome);
    void reportWrite(const CardTransfer::WriteOutcome &outcome);
    // "Write changes only": the controller brought to the table's state over the range by
    // writing only the numbers that differ; no card both hold is ever refused meanwhile.
    void writeChangesOnly();
    void reportSync(const CardSync::Outcome &outcome);
    QString chooseFile(bool forSaving);
    QString text(TextRow row) const;

    // Quick add.
    void showQuickAdd(const QString &readCommand);
    void tmrComTimer();
    void cardPresented(const QString &cardId);
    void readerAnswering(bool answering);
    // Adds the card of the panel to the table; a card whose ID was edited to other than 16
    // characters is not added and the user is told so.
    void commitPending();
    QString nextFreeCardNo() const;

    Comm &comm_;
    Settings &settings_;
    const Language &language_;
    ProgressState &progress_;
    UserPrompt &prompt_;
    const Options options_;
    TableStore table_;
    TableStoreModel model_;
    CardTransfer transfer_;
    CardSync sync_;
    ReaderSearch readerSearch_;
    ReaderPoller poller_;
    TableGrid *grid_ = nullptr;
    Mode mode_ = Mode::View;
    bool busy_ = false;
    bool quickAdding_ = false;
    // Cards were added or changed here since the table last matched the controller or a file.
    bool unsaved_ = false;

    QWidget *tbEdit = nullptr;
    QToolButton *btnAdd = nullptr;
    QToolButton *btnEdit = nullptr;
    QToolButton *btnDelete = nullptr;
    QToolButton *btnOk = nullptr;
    QToolButton *btnCancel = nullptr;
    QToolButton *btnFirst = nullptr;
    QToolButton *btnPrev = nullptr;
    QToolButton *btnNext = nullptr;
    QToolButton *btnLast = nullptr;
    QToolButton *btnExit02 = nullptr;
    QWidget *pnlRight = nullptr;
    QLabel *lblStartCardNo = nullptr;
    QLineEdit *edtStartCardNo = nullptr;
    QLabel *lblEndCardNo = nullptr;
    QLineEdit *edtEndCardNo = nullptr;
    QPushButton *btnBackup = nullptr;
    QCheckBox *cbxClearAllUser = nullptr;
    QCheckBox *cbxWriteChangesOnly = nullptr;
    QPushButton *btnRestore = nullptr;
    QPushButton *btnClearAll = nullptr;
    QPushButton *btnReadFile = nullptr;
    QPushButton *btnSaveFile = nullptr;
    QPushButton *btnClear = nullptr;
    QPushButton *btnAddCard = nullptr;
    QPushButton *btnExit = nullptr;
    QStackedWidget *pcData = nullptr;
    QTableView *dgView = nullptr;
    QWidget *tsData = nullptr;
    QLabel *lbl01 = nullptr;
    QLabel *lbl02 = nullptr;
    QLabel *lbl03 = nullptr;
    QLineEdit *edt01 = nullptr;
    QLineEdit *edt02 = nullptr;
    QLineEdit *edt03 = nullptr;
    QLabel *sbMode = nullptr;
    QLabel *sbMessage = nullptr;
    CircleIndicator *shpCircle = nullptr;

    QWidget *pnlCardID = nullptr;
    QLabel *pnlTitle = nullptr;
    QLabel *lblCardNo = nullptr;
    QLineEdit *edtCardNo = nullptr;
    QLabel *lblCardID = nullptr;
    QLineEdit *edtCardID = nullptr;
    QLabel *lblAppNo = nullptr;
    QLineEdit *edtAppNo = nullptr;
    QLabel *lblAPB = nullptr;
    QComboBox *cbxAPB = nullptr;
    QLabel *lblPIN = nullptr;
    QLineEdit *edtPIN = nullptr;
    QLabel *lblCardIDNote = nullptr;
    QPushButton *btnStop = nullptr;
};
