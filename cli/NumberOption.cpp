#include "NumberOption.h"

#include "CardCodec.h"
#include "Frame.h"

#include <algorithm>

namespace {

struct NumberRange
{
    QString name;
    int lowest;
    int highest;
};

// Card numbers have seven digits; an echo never repeats more than a whole command text.
const NumberRange NumberOptions[] = {
    {QStringLiteral("from"), 0, CardCodec::MaxCardNumber},
    {QStringLiteral("to"), 0, CardCodec::MaxCardNumber},
    {QStringLiteral("echo"), 0, MaxCommandLength},
    {QStringLiteral("count"), 1, 1000000},
    {QStringLiteral("app"), 0, 99},
    {QStringLiteral("apb"), 0, 1},
};

} // namespace

std::optional<int> BoundedNumber(const QString &text, int lowest, int highest)
{
    if (text.isEmpty() ||
        !std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < lowest || value > highest)
        return std::nullopt;
    return static_cast<int>(value);
}

bool CheckNumberOptions(const QCommandLineParser &parser, QString &error)
{
    for (const NumberRange &option : NumberOptions) {
        if (!parser.isSet(option.name))
            continue;
        if (!BoundedNumber(parser.value(option.name), option.lowest, option.highest)) {
            error = QStringLiteral("--%1 wants a whole number from %2 to %3, not \"%4\"")
                        .arg(option.name)
                        .arg(option.lowest)
                        .arg(option.highest)
                        .arg(parser.value(option.name));
            return false;
        }
    }
    return true;
}

int NumberOptionValue(const QCommandLineParser &parser, const QString &name, int fallback)
{
    return parser.isSet(name) ? parser.value(name).toInt() : fallback;
}

CardRange CardRangeOption(const QCommandLineParser &parser)
{
    return {NumberOptionValue(parser, QStringLiteral("from"), CardRange::DefaultFrom),
            NumberOptionValue(parser, QStringLiteral("to"), CardRange::DefaultTo)};
}
