#include "EventReply.h"

namespace {

// Blanks and control characters off both ends.
QString TrimControls(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start).unicode() <= 0x20)
        ++start;
    while (end > start && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(start, end - start);
}

// Characters from..to (1-based, inclusive); short or empty past the end.
QString Part(const QString &text, int from, int to)
{
    return text.mid(from - 1, to - from + 1);
}

QChar At(const QString &text, int position)
{
    return position <= text.size() ? text.at(position - 1) : QChar();
}

} // namespace

std::optional<EventReply> EventReply::parse(const QString &replyText, int replyLength)
{
    if (replyLength != ShortLayout && replyLength != LongLayout)
        return std::nullopt;
    const QString t = TrimControls(replyText);
    EventReply e;
    e.raw = t;
    e.layout = replyLength;
    e.channel = At(t, 1);
    e.year = Part(t, 2, 5);
    e.month = Part(t, 6, 7);
    e.day = Part(t, 8, 9);
    e.hour = Part(t, 10, 11);
    e.minute = Part(t, 12, 13);
    e.second = Part(t, 14, 15);
    e.pointNumber = Part(t, 22, 23);
    // The event block: type letter, two characters, anti-passback digit, status digit.
    const int block = replyLength == ShortLayout ? 20 : 23;
    e.card = Part(t, 16, block - 1);
    e.type = At(t, block);
    e.apb = At(t, block + 3);
    e.status = At(t, block + 4);
    e.pointer = Part(t, block + 5, block + 4 + PointerLength);
    return e;
}
