#pragma once

#include "CliOption.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

struct CliContext;

// How a form uses a file it names; OutputFileRule decides from it what may be written.
enum class FileUse
{
    Reads,
    Writes,     // replaced as a whole
    AddsEvents, // an event file: an existing one keeps its events and gets the new ones
    Updates     // read, then written again with more (a card file that enrolment extends)
};

// A file a form names, by an option (--out) or by its place among the arguments after the
// action (1 for the first).
struct FileArgument
{
    QString option{};
    int position = 0;
    FileUse use = FileUse::Reads;
    // A folder argument: the files in it that are used.
    QStringList within{};
    // A folder of controller folders (DIR/NAME/ of a site): everything below its subfolders.
    bool controllerFolders = false;
    // The name gets ".xml" when its upper-case form lacks "XML", as the file is saved.
    bool xmlExtension = false;
};

// One usage line of a verb: an action with its arguments, what it reaches, and the options it
// accepts besides --json, --verbose and --help (a form that reaches a controller also takes the
// connection options and --trace). Any other option is refused before anything is opened.
struct VerbForm
{
    QString action{}; // empty for a verb without actions
    QString arguments{};
    QString summary{};
    bool reachesController = false;
    QList<CliOption> options{};
    QList<FileArgument> files{};
    // Where one action has two forms: the number of arguments after the action that chooses
    // this one, or an option that does.
    std::optional<int> argumentCount{};
    QString chosenBy{};

    bool accepts(const QString &option) const;
    // Whether `arguments` allows this many words after the action.
    bool takesArguments(qsizetype count) const;
    std::optional<CliOption> option(const QString &name) const;
    // --from and --to: the range must hold at least one card number.
    bool readsCardRange() const;
};

struct VerbSpec
{
    QString name{};
    QString summary{};
    QString example{};
    std::function<int(CliContext &)> run{};
    QList<VerbForm> forms{};

    bool hasActions() const { return !forms.first().action.isEmpty(); }
    QStringList actions() const;
    // The form the words after the verb and the options given choose; nothing for an unknown
    // action.
    const VerbForm *form(const QStringList &words, const QStringList &optionsGiven) const;
    // Every option of every form, once (the first declaration of a name).
    QList<CliOption> allOptions() const;
};

// Every verb of kt480ctl with its forms. A new verb or option is one entry here: its parser,
// its checks, its help and its refusals all come from it.
namespace VerbTable {

const QList<VerbSpec> &Verbs();
const VerbSpec *Find(const QString &name);

// --json, --verbose, --help: every verb.
const QList<CliOption> &CommonOptions();
// --tcp, --udp, --local-port, --serial, --line, --id: forms that reach a controller.
const QList<CliOption> &ConnectionOptions();
const CliOption &TraceOption();
const CliOption &VersionOption();

// Everything a form accepts: its own options, and the common, connection and trace options
// that go with it.
QList<CliOption> AcceptedOptions(const VerbForm &form);

} // namespace VerbTable
