#pragma once

#include <QChar>
#include <QCommandLineOption>
#include <QString>
#include <optional>

// The whole numbers an option accepts, both ends included.
struct NumberRange
{
    int lowest = 0;
    int highest = 0;
};

// One option of kt480ctl as a verb declares it: its name, the placeholder of its value (empty
// for a switch), one line of help, and for a number the range that is checked before anything
// is opened.
struct CliOption
{
    QString name{};
    QString valueName{};
    QString description{};
    std::optional<NumberRange> range{};
    QChar letter{}; // a one-letter alias, as -h for --help

    bool takesValue() const { return !valueName.isEmpty(); }
    // The option as a parser knows it; `withValue` false makes it a switch there.
    QCommandLineOption parserOption(bool withValue) const
    {
        QStringList names{name};
        if (!letter.isNull())
            names.prepend(QString(letter));
        return withValue ? QCommandLineOption(names, description, valueName)
                         : QCommandLineOption(names, description);
    }
    // "--out FILE" or "--json", as usage lines show it.
    QString synopsis() const
    {
        return QStringLiteral("--") + name +
               (takesValue() ? QLatin1Char(' ') + valueName : QString());
    }
};
