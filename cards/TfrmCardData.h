#pragma once

#include "CardTransfer.h"
#include "TableStore.h"
#include "TableStoreModel.h"

#include <QDialog>

class Comm;
enum class TextRow : int;
class Language;
class ProgressState;
class Settings;
class SharedFlag;
class UserPrompt;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class QToolButton;
class QWidget;

// The card window: the card table in a grid, the card number range, reading and writing
// the controller's cards, deleting them all, and the card file.
class TfrmCardData : public QDialog
{
    Q_OBJECT

public:
    TfrmCardData(Comm &comm, Settings &settings, const Language &language, ProgressState &progress,
                 SharedFlag &clockReadPaused, UserPrompt &prompt, QWidget *parent = nullptr);

    QString VersionText;

    TableStore &table() { return table_; }
    CardTransfer &transfer() { return transfer_; }
    QCheckBox *clearAllBox() const { return cbxClearAllUser; }

    void btnBackupClick();
    void btnRestoreClick();
    void btnClearAllClick();
    void btnReadFileClick();
    void btnSaveFileClick();
    void btnClearClick();
    void btnDeleteClick();

    // The card number range after normalisation (also written back and stored).
    int startCardNumber() const;
    int endCardNumber() const;
    void normaliseRange();

    // Refused while an operation runs (Escape, the close button, close()): the operation
    // would go on with its window gone.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Mode
    {
        View,
        Edit,
        Add
    };

    void buildUi();
    void applyLanguage();
    void setBusy(bool busy);
    void finishOperation();
    void enterMode(Mode mode);
    void move(void (TableStore::*step)());
    void syncSelection();
    void editorAdd();
    void editorEdit();
    void editorOk();
    void showRecordCount();
    void reportRead(CardTransfer::ReadOutcome outcome);
    void reportWrite(const CardTransfer::WriteOutcome &outcome);
    QString chooseFile(bool forSaving);
    QString text(TextRow row) const;

    Comm &comm_;
    Settings &settings_;
    const Language &language_;
    ProgressState &progress_;
    UserPrompt &prompt_;
    TableStore table_;
    TableStoreModel model_;
    CardTransfer transfer_;
    Mode mode_ = Mode::View;
    bool busy_ = false;

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
    QPushButton *btnRestore = nullptr;
    QPushButton *btnClearAll = nullptr;
    QPushButton *btnReadFile = nullptr;
    QPushButton *btnSaveFile = nullptr;
    QPushButton *btnClear = nullptr;
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
};
