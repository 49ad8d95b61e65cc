#pragma once

#include <QString>

// Message boxes and file dialogs, behind an interface so that tests can answer them.
class UserPrompt
{
public:
    virtual ~UserPrompt() = default;

    // A box with an OK button only.
    virtual void message(const QString &text, const QString &caption) = 0;
    // A Yes/No question; true for Yes.
    virtual bool question(const QString &text, const QString &caption) = 0;
    // An empty result means the user cancelled.
    virtual QString openFileName(const QString &proposed, const QString &filter) = 0;
    virtual QString saveFileName(const QString &proposed, const QString &filter) = 0;
};
