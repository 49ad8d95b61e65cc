#include "UsageArguments.h"

#include <QStringList>
#include <algorithm>
#include <optional>

namespace {

// The fewest and most arguments a usage text allows; no most for "any number".
struct ArgumentCounts
{
    qsizetype least = 0;
    std::optional<qsizetype> most = 0;

    void add(const ArgumentCounts &other)
    {
        least += other.least;
        most = most && other.most ? std::optional(*most + *other.most) : std::nullopt;
    }
};

// The text cut where `separates` holds outside brackets, parentheses and quotes.
QStringList SplitAtTopLevel(const QString &text, bool (*separates)(QChar))
{
    QStringList pieces;
    QString piece;
    int depth = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u'(' || c == u'['))
            ++depth;
        else if (!quoted && (c == u')' || c == u']'))
            --depth;
        if (separates(c) && depth == 0 && !quoted) {
            pieces << piece;
            piece.clear();
        } else {
            piece += c;
        }
    }
    pieces << piece;
    return pieces;
}

// The usage text in words, a group in brackets, in parentheses or in quotes one word.
QStringList UsageWords(const QString &text)
{
    QStringList words = SplitAtTopLevel(text, [](QChar c) { return c.isSpace(); });
    words.removeAll(QString());
    return words;
}

// The branches of a choice "A | B" at its own level.
QStringList Branches(const QString &text)
{
    return SplitAtTopLevel(text, [](QChar c) { return c == u'|'; });
}

ArgumentCounts CountArguments(const QString &usage)
{
    ArgumentCounts counts;
    const QStringList words = UsageWords(usage);
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString &word = words[i];
        if (word.startsWith(u'-')) {
            // An option's value is no argument.
            const QString next = words.value(i + 1);
            if (!next.isEmpty() && next.front().isLetter())
                ++i;
        } else if (word.startsWith(u'(')) {
            std::optional<ArgumentCounts> choice;
            for (const QString &branch : Branches(word.mid(1, word.size() - 2))) {
                const ArgumentCounts one = CountArguments(branch);
                if (!choice) {
                    choice = one;
                    continue;
                }
                choice->least = std::min(choice->least, one.least);
                choice->most = choice->most && one.most
                                   ? std::optional(std::max(*choice->most, *one.most))
                                   : std::nullopt;
            }
            counts.add(choice.value_or(ArgumentCounts{}));
        } else if (word.startsWith(u'[')) {
            const QString inner = word.mid(1, word.size() - 2);
            ArgumentCounts optional = CountArguments(inner);
            optional.least = 0;
            if (inner.endsWith(QLatin1String("...")))
                optional.most = std::nullopt;
            counts.add(optional);
        } else {
            counts.add({1, 1});
        }
    }
    return counts;
}

} // namespace

namespace UsageArguments {

bool Allow(const QString &usage, qsizetype count)
{
    const ArgumentCounts counts = CountArguments(usage);
    return count >= counts.least && (!counts.most || count <= *counts.most);
}

} // namespace UsageArguments
