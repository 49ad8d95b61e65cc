#pragma once

#include "UserPrompt.h"

#include <QTextStream>

// Answers for a run without a person: messages go to standard error, questions are
// answered No (nothing is replaced or sent that the command did not ask for), no files
// are chosen.
class CliPrompt : public UserPrompt
{
public:
    explicit CliPrompt(QTextStream &err) : err_(err) {}

    void message(const QString &text, const QString &) override { err_ << text << '\n'; }
    bool question(const QString &text, const QString &) override
    {
        err_ << text << "\n(answered no)\n";
        return false;
    }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &) override { return {}; }

private:
    QTextStream &err_;
};
