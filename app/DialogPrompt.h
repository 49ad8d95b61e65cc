#pragma once

#include <UserPrompt.h>

// The prompts as the user sees them: message boxes and file dialogs.
class DialogPrompt : public UserPrompt
{
public:
    void message(const QString &text, const QString &caption) override;
    bool question(const QString &text, const QString &caption) override;
    QString openFileName(const QString &proposed, const QString &filter) override;
    QString saveFileName(const QString &proposed, const QString &filter) override;
};
