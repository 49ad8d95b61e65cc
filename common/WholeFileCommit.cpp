#include "WholeFileCommit.h"

#include <QCoreApplication>
#include <QFileDevice>
#include <QSaveFile>

bool CommitWhole(QSaveFile &file)
{
    return file.flush() && file.commit();
}

QString WriteFailureText(const QFileDevice &file)
{
    // Qt's own text for an error it was given no reason for.
    static const QString unknown = QStringLiteral("Unknown error");
    const QString reason = file.errorString();
    if (!reason.isEmpty() && reason != unknown)
        return reason;
    return QCoreApplication::translate("WholeFileCommit",
                                       "not every byte could be written: the disk is full, or "
                                       "the file is larger than this program may write");
}
