#pragma once

#include <UserPrompt.h>

class ProgressState;

// The prompts as the user sees them: message boxes and file dialogs, over the window that
// asks. While one is open the progress window steps aside.
class DialogPrompt : public UserPrompt
{
public:
    explicit DialogPrompt(ProgressState &progress) : progress_(progress) {}

    void message(const QString &text, const QString &caption) override;
    bool question(const QString &text, const QString &caption) override;
    QString openFileName(const QString &proposed, const QString &filter) override;
    QString saveFileName(const QString &proposed, const QString &filter) override;
    QString saveFileNameAskedLater(const QString &proposed, const QString &filter) override;

private:
    ProgressState &progress_;
};
