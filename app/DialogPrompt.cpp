#include "DialogPrompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

void DialogPrompt::message(const QString &text, const QString &caption)
{
    QMessageBox::information(QApplication::activeWindow(), caption, text, QMessageBox::Ok);
}

bool DialogPrompt::question(const QString &text, const QString &caption)
{
    return QMessageBox::question(QApplication::activeWindow(), caption, text,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

QString DialogPrompt::openFileName(const QString &proposed, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), proposed, filter);
}

QString DialogPrompt::saveFileName(const QString &proposed, const QString &filter)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), QString(), proposed, filter);
}
