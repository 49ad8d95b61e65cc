#pragma once

#include "UserPrompt.h"

#include <QList>
#include <QStringList>
#include <functional>

// Answers message boxes, questions and file dialogs as a test scripts it, and remembers what
// was asked. Questions take the queued `answers` first, then `answer`. `onAsk` runs while a box
// or dialog would be open (to look at the screen then).
class ScriptedPrompt : public UserPrompt
{
public:
    void message(const QString &text, const QString &caption) override
    {
        messages << text;
        captions << caption;
        asked();
    }
    bool question(const QString &text, const QString &caption) override
    {
        questions << text;
        captions << caption;
        asked();
        return answers.isEmpty() ? answer : answers.takeFirst();
    }
    QString openFileName(const QString &proposed, const QString &) override
    {
        dialogs << QStringLiteral("open ") + proposed;
        asked();
        return fileName;
    }
    QString saveFileName(const QString &proposed, const QString &) override
    {
        dialogs << QStringLiteral("save ") + proposed;
        asked();
        return fileName;
    }

    QStringList messages;
    QStringList captions;
    QStringList questions;
    // "open <proposed>" or "save <proposed>", one per dialog shown.
    QStringList dialogs;
    QString fileName;
    bool answer = false;
    QList<bool> answers;
    std::function<void()> onAsk;

private:
    void asked() const
    {
        if (onAsk)
            onAsk();
    }
};
