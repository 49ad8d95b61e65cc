#pragma once

#include "AllBackup.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// "All Backup" / "All Restore": chooses the parameter file and the card file, then backs a
// whole controller up to them or restores it from them, with one closing message.
class TfrmDownload : public QDialog
{
    Q_OBJECT

public:
    enum class Mode
    {
        Backup,
        Restore
    };

    TfrmDownload(Mode mode, AllBackup &allBackup, Settings &settings, UserPrompt &prompt,
                 const Language &language, const QString &versionText, QWidget *parent = nullptr);

    QString parameterPath() const;
    QString cardPath() const;
    void setPaths(const QString &parameterPath, const QString &cardPath);

    void btnOpenFile01Click();
    void btnOpenFile02Click();
    void btnBackupClick();
    void btnRestoreClick();

    // Refused while a backup or restore runs (Escape, close()): the run would go on with
    // its window gone.
    void done(int result) override;

private:
    void chooseFile(QLineEdit *edit, const QString &readSetting, const QString &saveSetting);
    // True when neither file exists yet, or the person agrees to replace those that do.
    bool mayReplaceExistingFiles();
    void run(bool backup);
    // The file a restore reads: the path as shown when it exists, else with ".xml" added.
    static QString fileToRead(const QString &shown);

    Mode mode_;
    AllBackup &allBackup_;
    Settings &settings_;
    UserPrompt &prompt_;
    const Language &language_;
    QString versionText_;
    bool busy_ = false;

    QLabel *lbl01 = nullptr;
    QLineEdit *edPath01 = nullptr;
    QToolButton *btnOpenFile01 = nullptr;
    QLabel *lbl02 = nullptr;
    QLineEdit *edPath02 = nullptr;
    QToolButton *btnOpenFile02 = nullptr;
    QPushButton *btnBackup = nullptr;
    QPushButton *btnRestore = nullptr;
    QPushButton *btnExit = nullptr;
    // All Restore: the cards by a sync, only the numbers that differ, none deleted first.
    QCheckBox *cbxWriteChangesOnly = nullptr;
};
