#include "DialogPrompt.h"

#include <ProgressState.h>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopeGuard>

namespace {

// The progress window is hidden first, so the window that asks is the modal window below
// it (or, without one, the active window).
QWidget *askingWindow()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

void DialogPrompt::message(const QString &text, const QString &caption)
{
    progress_.beginPrompt();
    const auto done = qScopeGuard([this] { progress_.endPrompt(); });
    QMessageBox::information(askingWindow(), caption, text, QMessageBox::Ok);
}

bool DialogPrompt::question(const QString &text, const QString &caption)
{
    progress_.beginPrompt();
    const auto done = qScopeGuard([this] { progress_.endPrompt(); });
    // Every question here is about doing something that cannot be undone, or giving
    // something up: Enter alone does not say yes to it.
    return QMessageBox::question(askingWindow(), caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

QString DialogPrompt::openFileName(const QString &proposed, const QString &filter)
{
    progress_.beginPrompt();
    const auto done = qScopeGuard([this] { progress_.endPrompt(); });
    return QFileDialog::getOpenFileName(askingWindow(), QString(), proposed, filter);
}

QString DialogPrompt::saveFileName(const QString &proposed, const QString &filter)
{
    progress_.beginPrompt();
    const auto done = qScopeGuard([this] { progress_.endPrompt(); });
    return QFileDialog::getSaveFileName(askingWindow(), QString(), proposed, filter);
}

QString DialogPrompt::saveFileNameAskedLater(const QString &proposed, const QString &filter)
{
    progress_.beginPrompt();
    const auto done = qScopeGuard([this] { progress_.endPrompt(); });
    return QFileDialog::getSaveFileName(askingWindow(), QString(), proposed, filter, nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}
