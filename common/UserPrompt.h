#pragma once

#include <QString>

// Message boxes and file dialogs, behind an interface so that tests can answer them.
class UserPrompt
{
public:
    virtual ~UserPrompt() = default;

    // A box with an OK button only.
    virtual void message(const QString &text, const QString &caption) = 0;
    // A Yes/No question; true for Yes. Only choosing Yes answers Yes: Enter, Escape and the
    // close box answer No.
    virtual bool question(const QString &text, const QString &caption) = 0;
    // An empty result means the user cancelled.
    virtual QString openFileName(const QString &proposed, const QString &filter) = 0;
    virtual QString saveFileName(const QString &proposed, const QString &filter) = 0;
    // The same for a caller that asks itself before it replaces an existing file, naming it:
    // the dialog does not ask as well.
    virtual QString saveFileNameAskedLater(const QString &proposed, const QString &filter)
    {
        return saveFileName(proposed, filter);
    }
};
