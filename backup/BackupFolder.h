#pragma once

#include <QString>
#include <QTemporaryDir>

// A backup made in a folder of its own, put in place only when it is complete, so that an
// incomplete or broken-off backup never leaves a pair of files from two controllers or two
// moments.
class BackupFolder
{
public:
    // A new folder in `parent`, named `prefix` and a random ending.
    BackupFolder(const QString &parent, const QString &prefix);

    bool isValid() const { return staging_.isValid(); }
    QString errorString() const { return staging_.errorString(); }
    QString path() const { return staging_.path(); }
    QString parameterPath() const;
    QString cardPath() const;
    bool isEmpty() const;

    // The whole folder becomes `folder`: the earlier one is moved aside, this one moved in, the
    // earlier one removed. A kill at any moment leaves the earlier backup or this one whole
    // (aside, until RecoverFolder puts it back).
    bool replaceFolder(const QString &folder, QString &error);
    // The record and the two files moved into `folder`, which may hold other files. One rename
    // of this folder into `folder` decides: before it the earlier files stand untouched, after
    // it RecoverFiles finishes the move, whatever moment a kill came.
    bool moveFilesInto(const QString &folder, QString &error);
    // Kept for a person to look at; its path.
    QString keep();

    // A folder that a kill left aside is put back; one left over beside its successor goes.
    static void RecoverFolder(const QString &folder);
    // The files of a backup that a kill left half moved into `folder` are moved in; empty, or
    // what could not be moved. Called before anything else reads or writes the folder's backup.
    static QString RecoverFiles(const QString &folder);

private:
    QTemporaryDir staging_;
};
