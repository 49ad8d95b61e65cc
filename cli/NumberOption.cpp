#include "NumberOption.h"

#include <algorithm>

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

int NumberOptionValue(const QCommandLineParser &parser, const QString &name, int fallback)
{
    return parser.isSet(name) ? parser.value(name).toInt() : fallback;
}

CardRange CardRangeOption(const QCommandLineParser &parser)
{
    return {NumberOptionValue(parser, QStringLiteral("from"), CardRange::DefaultFrom),
            NumberOptionValue(parser, QStringLiteral("to"), CardRange::DefaultTo)};
}
