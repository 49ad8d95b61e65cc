#include "TfrmDownload.h"

#include "BackupFolder.h"
#include "CardFile.h"
#include "IconButtonText.h"
#include "Language.h"
#include "ParamFilePaths.h"
#include "RememberedPath.h"
#include "Settings.h"
#include "TextRow.h"
#include "UserPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

TfrmDownload::TfrmDownload(Mode mode, AllBackup &allBackup, Settings &settings, UserPrompt &prompt,
                           const Language &language, const QString &versionText, QWidget *parent)
    : QDialog(parent), mode_(mode), allBackup_(allBackup), settings_(settings), prompt_(prompt),
      language_(language), versionText_(versionText)
{
    setObjectName(QStringLiteral("TfrmDownload"));
    // Closes only through its buttons, never in the middle of a run.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    auto *grid = new QGridLayout(this);
    lbl01 = new QLabel(this);
    edPath01 = new QLineEdit(this);
    edPath01->setObjectName(QStringLiteral("edPath01"));
    lbl02 = new QLabel(this);
    edPath02 = new QLineEdit(this);
    edPath02->setObjectName(QStringLiteral("edPath02"));
    btnOpenFile01 = new QToolButton(this);
    btnOpenFile01->setObjectName(QStringLiteral("btnOpenFile01"));
    btnOpenFile02 = new QToolButton(this);
    btnOpenFile02->setObjectName(QStringLiteral("btnOpenFile02"));
    // Read-only: nothing is typed here, and a path set from a dialog or the settings is
    // shown whole, however long.
    for (QLineEdit *e : {edPath01, edPath02}) {
        e->setReadOnly(true);
        e->setMinimumWidth(460);
        e->setStyleSheet(QStringLiteral("background-color: rgb(166, 202, 240);"));
    }
    for (QToolButton *b : {btnOpenFile01, btnOpenFile02}) {
        b->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
        b->setFixedSize(24, 24);
    }
    btnBackup = new QPushButton(this);
    btnBackup->setObjectName(QStringLiteral("btnBackup"));
    btnRestore = new QPushButton(this);
    btnRestore->setObjectName(QStringLiteral("btnRestore"));
    btnExit = new QPushButton(this);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    for (QPushButton *b : {btnBackup, btnRestore, btnExit})
        b->setMinimumSize(300, 36);
    grid->addWidget(lbl01, 0, 0);
    grid->addWidget(edPath01, 0, 1);
    grid->addWidget(btnOpenFile01, 0, 2);
    grid->addWidget(lbl02, 1, 0);
    grid->addWidget(edPath02, 1, 1);
    grid->addWidget(btnOpenFile02, 1, 2);
    cbxWriteChangesOnly = new QCheckBox(this);
    cbxWriteChangesOnly->setObjectName(QStringLiteral("cbxWriteChangesOnly"));
    grid->addWidget(cbxWriteChangesOnly, 2, 1, Qt::AlignLeft);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnBackup);
    buttons->addWidget(btnRestore);
    buttons->addWidget(btnExit);
    grid->addLayout(buttons, 3, 0, 1, 3);

    const bool backup = mode == Mode::Backup;
    lbl01->setText(language.TableText(TextRow::ParameterFileLabel) + QLatin1Char(':'));
    lbl02->setText(language.TableText(TextRow::CardDataFileLabel) + QLatin1Char(':'));
    btnExit->setText(language.TableText(TextRow::ExitButton));
    SetIconButtonText(btnOpenFile01, tr("Choose the parameter file…"));
    SetIconButtonText(btnOpenFile02, tr("Choose the card data file…"));
    const TextRow actionRow = backup ? TextRow::AllBackupButton : TextRow::AllRestoreButton;
    (backup ? btnBackup : btnRestore)->setText(language.TableText(actionRow));
    setWindowTitle(
        QString(language.TableText(actionRow)).replace(QStringLiteral("&&"), QStringLiteral("&")));
    btnBackup->setVisible(backup);
    btnRestore->setVisible(!backup);
    cbxWriteChangesOnly->setText(tr("Write changes only"));
    cbxWriteChangesOnly->setToolTip(
        tr("Write only the cards that differ from the card file, each read back; no card is "
           "deleted first, so the doors keep admitting the cards both hold."));
    cbxWriteChangesOnly->setVisible(!backup);
    edPath01->setText(RememberedPath(
        settings, backup ? ParamFilePaths::ExportSetting : ParamFilePaths::ImportSetting,
        ParamFilePaths::DefaultFile()));
    edPath02->setText(RememberedPath(
        settings, backup ? CardFile::SaveSetting : CardFile::ReadSetting, CardFile::DefaultPath()));

    connect(btnOpenFile01, &QToolButton::clicked, this, &TfrmDownload::btnOpenFile01Click);
    connect(btnOpenFile02, &QToolButton::clicked, this, &TfrmDownload::btnOpenFile02Click);
    connect(btnBackup, &QPushButton::clicked, this, &TfrmDownload::btnBackupClick);
    connect(btnRestore, &QPushButton::clicked, this, &TfrmDownload::btnRestoreClick);
    connect(btnExit, &QPushButton::clicked, this, &QDialog::reject);
}

QString TfrmDownload::parameterPath() const
{
    return edPath01->text();
}

QString TfrmDownload::cardPath() const
{
    return edPath02->text();
}

void TfrmDownload::setPaths(const QString &parameterPath, const QString &cardPath)
{
    edPath01->setText(parameterPath);
    edPath02->setText(cardPath);
}

void TfrmDownload::chooseFile(QLineEdit *edit, const QString &readSetting,
                              const QString &saveSetting)
{
    // A backup may name a file that does not exist yet (the backup asks before it replaces
    // one); a restore needs one that does.
    const QString chosen =
        (mode_ == Mode::Backup
             ? prompt_.saveFileNameAskedLater(edit->text(), CardFile::DialogFilter)
             : prompt_.openFileName(edit->text(), CardFile::DialogFilter))
            .trimmed();
    if (chosen.isEmpty())
        return;
    const QString path = WithXmlExtension(chosen);
    if (mode_ == Mode::Restore) {
        if (QFileInfo::exists(path))
            settings_.SaveSetting(readSetting, path);
    } else {
        settings_.SaveSetting(saveSetting, path);
    }
    edit->setText(chosen);
}

void TfrmDownload::btnOpenFile01Click()
{
    chooseFile(edPath01, ParamFilePaths::ImportSetting, ParamFilePaths::ExportSetting);
}

void TfrmDownload::btnOpenFile02Click()
{
    chooseFile(edPath02, CardFile::ReadSetting, CardFile::SaveSetting);
}

void TfrmDownload::btnBackupClick()
{
    run(true);
}

void TfrmDownload::btnRestoreClick()
{
    run(false);
}

void TfrmDownload::done(int result)
{
    if (!busy_)
        QDialog::done(result);
}

QString TfrmDownload::fileToRead(const QString &shown)
{
    // The box shows the name as chosen; the settings remember it with ".xml".
    const QString path = shown.trimmed();
    return QFileInfo::exists(path) ? path : WithXmlExtension(path);
}

bool TfrmDownload::mayReplaceExistingFiles()
{
    QStringList existing;
    for (const QString &shown : {parameterPath(), cardPath()}) {
        const QString path = WithXmlExtension(shown.trimmed());
        if (QFileInfo::exists(path))
            existing << path;
    }
    if (existing.isEmpty())
        return true;
    return prompt_.question(tr("The backup replaces these files:\n%1\n\nReplace them?")
                                .arg(existing.join(QLatin1Char('\n'))),
                            language_.TableText(TextRow::SystemMessage));
}

void TfrmDownload::run(bool backup)
{
    if (backup && !mayReplaceExistingFiles())
        return;
    // A backup that a kill left half moved beside the files is finished before they are read.
    if (!backup) {
        for (const QString &file : {fileToRead(parameterPath()), fileToRead(cardPath())}) {
            const QString problem = BackupFolder::RecoverFiles(QFileInfo(file).absolutePath());
            if (!problem.isEmpty()) {
                prompt_.message(QStringLiteral("Error!\n") + problem,
                                language_.TableText(TextRow::SystemMessage));
                return;
            }
        }
    }
    busy_ = true;
    for (QWidget *w :
         {static_cast<QWidget *>(btnBackup), static_cast<QWidget *>(btnRestore),
          static_cast<QWidget *>(btnExit), static_cast<QWidget *>(btnOpenFile01),
          static_cast<QWidget *>(btnOpenFile02), static_cast<QWidget *>(cbxWriteChangesOnly)})
        w->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
    // The record beside the card file is read for a restore only.
    const auto restorePlan = [this] {
        AllBackup::RestorePlan plan = AllBackup::PlanBeside(fileToRead(cardPath()));
        plan.sync = cbxWriteChangesOnly->isChecked();
        return plan;
    };
    const AllBackup::Outcome outcome =
        backup ? allBackup_.backup(parameterPath(), WithXmlExtension(cardPath().trimmed()),
                                   CardRange::Stored(settings_))
               : allBackup_.restore(fileToRead(parameterPath()), fileToRead(cardPath()),
                                    versionText_, restorePlan());
    QApplication::restoreOverrideCursor();
    prompt_.message(outcome.reportText(), language_.TableText(TextRow::SystemMessage));
    busy_ = false;
    accept();
}
