#include "CommandLine.h"

#include "NumberOption.h"
#include "VerbHelp.h"
#include "VerbTable.h"

#include <algorithm>

namespace {

const QString HelpWord = QStringLiteral("help");

void AddOptions(QCommandLineParser &parser, const QList<CliOption> &options)
{
    for (const CliOption &option : options)
        parser.addOption(option.parserOption(option.takesValue()));
}

// Every option of every verb, so that the verb can be told from the option values before the
// verb's own options are known. A name that is a switch somewhere (--csv) is a switch here.
void AddEveryOption(QCommandLineParser &parser)
{
    QList<CliOption> all{VerbTable::VersionOption()};
    QStringList switches;
    for (const VerbSpec &verb : VerbTable::Verbs()) {
        for (const CliOption &option : verb.allOptions()) {
            if (!option.takesValue())
                switches << option.name;
            const bool known = std::any_of(all.cbegin(), all.cend(), [&option](const CliOption &o) {
                return o.name == option.name;
            });
            if (!known)
                all << option;
        }
    }
    for (const CliOption &option : all)
        parser.addOption(option.parserOption(!switches.contains(option.name)));
}

// "cards read" or "backup": how a refusal names what was asked; "cards diff A.xml B.xml" or
// "fleet restore --dry-run" where one action has several forms.
QString FormName(const VerbSpec &verb, const VerbForm &form)
{
    QStringList words{verb.name};
    if (!form.action.isEmpty())
        words << form.action;
    const auto sameAction =
        std::count_if(verb.forms.cbegin(), verb.forms.cend(),
                      [&form](const VerbForm &f) { return f.action == form.action; });
    if (sameAction > 1)
        words << (form.chosenBy.isEmpty() ? form.arguments : QStringLiteral("--") + form.chosenBy);
    return words.join(u' ');
}

QString Pointer(const QString &verb)
{
    return QStringLiteral(" (kt480ctl help %1 lists its options)").arg(verb);
}

// "--out", or "-x" for a one-letter name.
QString Dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString UnknownOption(const QString &name)
{
    return QStringLiteral("unknown option ") + Dashed(name);
}

} // namespace

CommandLine::CommandLine(QStringList arguments) : arguments_(std::move(arguments)) {}

CommandLine::~CommandLine() = default;

CommandLine::Outcome CommandLine::refuse(const QString &problem)
{
    problem_ = problem;
    return Outcome::Refused;
}

CommandLine::Outcome CommandLine::read()
{
    QCommandLineParser everything;
    AddEveryOption(everything);
    const bool parsed = everything.parse(arguments_);
    if (everything.isSet(VerbTable::VersionOption().name))
        return Outcome::Version;
    const QStringList positional = everything.positionalArguments();
    // The verb is the first word that names one: an option's value before it (--csv FILE, a
    // value only for some verbs) is not taken for it.
    const auto named = std::find_if(positional.cbegin(), positional.cend(),
                                    [](const QString &w) { return VerbTable::Find(w); });
    const bool helpAsked = everything.isSet(HelpWord);
    if (!positional.isEmpty() && positional.first() == HelpWord) {
        const QString topic = positional.value(1);
        if (topic.isEmpty()) {
            helpText_ = TopHelp();
            return Outcome::Help;
        }
        if (const VerbSpec *verb = VerbTable::Find(topic)) {
            helpText_ = VerbHelp(*verb);
            return Outcome::Help;
        }
        return refuse(
            QStringLiteral("unknown verb: %1 (kt480ctl --help lists the verbs)").arg(topic));
    }
    if (named == positional.cend()) {
        if (helpAsked) {
            helpText_ = TopHelp();
            return Outcome::Help;
        }
        if (!parsed)
            return refuse(everything.unknownOptionNames().isEmpty()
                              ? everything.errorText()
                              : UnknownOption(everything.unknownOptionNames().first()) +
                                    QStringLiteral(" (kt480ctl --help lists the verbs)"));
        return refuse(positional.isEmpty()
                          ? QStringLiteral("no verb given (kt480ctl --help lists the verbs)")
                          : QStringLiteral("unknown verb: %1 (kt480ctl --help lists the verbs)")
                                .arg(positional.first()));
    }
    verb_ = VerbTable::Find(*named);
    if (helpAsked) {
        helpText_ = VerbHelp(*verb_);
        return Outcome::Help;
    }
    return readVerb(everything);
}

CommandLine::Outcome CommandLine::readVerb(const QCommandLineParser &everything)
{
    parser_ = std::make_unique<QCommandLineParser>();
    AddOptions(*parser_, verb_->allOptions());
    if (!parser_->parse(arguments_)) {
        const QStringList unknown = parser_->unknownOptionNames();
        if (unknown.isEmpty())
            return refuse(verb_->name + QStringLiteral(": ") + parser_->errorText());
        const QString name = unknown.first();
        const QString named =
            everything.unknownOptionNames().contains(name)
                ? UnknownOption(name)
                : QStringLiteral("%1 is not an option of %2").arg(Dashed(name), verb_->name);
        return refuse(named + Pointer(verb_->name));
    }
    const QStringList positional = parser_->positionalArguments();
    if (positional.first() != verb_->name)
        return refuse(QStringLiteral("unknown verb: %1 (kt480ctl --help lists the verbs)")
                          .arg(positional.first()));
    words_ = positional.mid(1);
    const QStringList given = parser_->optionNames();
    form_ = verb_->form(words_, given);
    if (!form_) {
        return refuse(words_.isEmpty()
                          ? QStringLiteral("%1 wants one of: %2")
                                .arg(verb_->name, verb_->actions().join(u", "))
                          : QStringLiteral("%1 has no action %2; it has %3")
                                .arg(verb_->name, words_.first(), verb_->actions().join(u", ")));
    }
    for (const QString &name : given) {
        if (!form_->accepts(name))
            return refuse(QStringLiteral("%1 is not an option of %2")
                              .arg(Dashed(name), FormName(*verb_, *form_)) +
                          Pointer(verb_->name));
    }
    // The words are counted before anything is opened: a missing or extra file name sends
    // nothing and writes no trace.
    const qsizetype arguments = words_.size() - (verb_->hasActions() ? 1 : 0);
    if (!form_->takesArguments(arguments))
        return refuse(QStringLiteral("%1: %2 given; usage: %3")
                          .arg(FormName(*verb_, *form_),
                               arguments == 1 ? QStringLiteral("1 argument")
                                              : QStringLiteral("%1 arguments").arg(arguments),
                               UsageLine(*verb_, *form_)));
    return checkNumbers() ? Outcome::Run : Outcome::Refused;
}

bool CommandLine::checkNumbers()
{
    for (const CliOption &option : VerbTable::AcceptedOptions(*form_)) {
        if (!option.range || !parser_->isSet(option.name))
            continue;
        const QString value = parser_->value(option.name);
        if (!BoundedNumber(value, option.range->lowest, option.range->highest)) {
            problem_ = QStringLiteral("--%1 wants a whole number from %2 to %3, not \"%4\"")
                           .arg(option.name)
                           .arg(option.range->lowest)
                           .arg(option.range->highest)
                           .arg(value);
            return false;
        }
    }
    if (form_->readsCardRange()) {
        const CardRange range = CardRangeOption(*parser_);
        if (range.count() == 0) {
            problem_ = QStringLiteral("--from %1 lies above --to %2: the range holds no card "
                                      "number; nothing was done")
                           .arg(range.from())
                           .arg(range.to());
            return false;
        }
    }
    return true;
}
