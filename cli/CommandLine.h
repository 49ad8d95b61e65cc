#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <memory>

struct VerbForm;
struct VerbSpec;

// The command line of kt480ctl read against the verb table: the verb, the form its action
// chooses, and the options, each checked against that form before anything is opened. An
// option of another verb, a number out of its range or a card range without a number is a
// bad argument.
class CommandLine
{
public:
    enum class Outcome
    {
        Run,
        Help,    // helpText() answers the request
        Version, // --version
        Refused  // problem() says why, in one line
    };

    explicit CommandLine(QStringList arguments);
    ~CommandLine();
    CommandLine(const CommandLine &) = delete;
    CommandLine &operator=(const CommandLine &) = delete;

    Outcome read();

    QString problem() const { return problem_; }
    QString helpText() const { return helpText_; }
    // After Run: the verb, its form, the words after the verb and the parsed options.
    const VerbSpec &verb() const { return *verb_; }
    const VerbForm &form() const { return *form_; }
    QStringList words() const { return words_; }
    QCommandLineParser &parser() { return *parser_; }

private:
    Outcome refuse(const QString &problem);
    Outcome readVerb(const QCommandLineParser &everything);
    bool checkNumbers();

    QStringList arguments_;
    std::unique_ptr<QCommandLineParser> parser_;
    const VerbSpec *verb_ = nullptr;
    const VerbForm *form_ = nullptr;
    QStringList words_;
    QString problem_;
    QString helpText_;
};
