#include "PageParameter.h"

#include <algorithm>

namespace {

struct Row
{
    int number;
    int width;
    int lowest;
    int highest;
    const char *defaultValue;
};

// Captions are the language rows from the elevator mode on, in this same order; buttons
// btn101..btn122 and btn201..btn222, except that the write button of 46 keeps its historical name.
constexpr Row Rows[] = {
    {1, 1, 0, 1, "0"},      {2, 1, 0, 1, "0"},        {11, 3, 0, 255, "000"},
    {12, 3, 0, 2, "002"},   {13, 3, 0, 255, "120"},   {14, 4, 0, 9999, "0060"},
    {15, 1, 0, 9, "3"},     {16, 4, 0, 9999, "0030"}, {41, 1, 0, 1, "0"},
    {42, 1, 0, 1, "0"},     {43, 1, 0, 1, "1"},       {44, 1, 0, 1, "1"},
    {45, 1, 0, 1, "1"},     {46, 1, 0, 1, "0"},       {47, 1, 0, 1, "0"},
    {48, 1, 0, 1, "0"},     {61, 1, 0, 1, "0"},       {62, 3, 0, 10, "000"},
    {63, 3, 0, 255, "005"}, {64, 1, 0, 1, "0"},       {65, 3, 0, 9, "000"},
    {66, 1, 0, 1, "0"},
};
constexpr int FirstReadButton = 101;
constexpr int FirstWriteButton = 201;

QList<PageParameter> BuildCatalogue()
{
    QList<PageParameter> list;
    int position = 0;
    for (const Row &row : Rows) {
        PageParameter p;
        p.number = row.number;
        p.captionRow =
            static_cast<TextRow>(static_cast<int>(TextRow::ParamElevatorMode) + position);
        p.width = row.width;
        p.lowest = row.lowest;
        p.highest = row.highest;
        p.defaultValue = QString::fromLatin1(row.defaultValue);
        p.readButton = QStringLiteral("btn%1").arg(FirstReadButton + position);
        p.writeButton = row.number == 46 ? QStringLiteral("SpeedButton4")
                                         : QStringLiteral("btn%1").arg(FirstWriteButton + position);
        list.append(p);
        ++position;
    }
    return list;
}

} // namespace

QString ParamCode(int number)
{
    return QStringLiteral("AF%1").arg(number, 2, 10, QLatin1Char('0'));
}

QString PageParameter::code() const
{
    return ParamCode(number);
}

QString PageParameter::item(int value) const
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

QStringList PageParameter::items() const
{
    QStringList list;
    list.reserve(highest - lowest + 1);
    for (int value = lowest; value <= highest; ++value)
        list.append(item(value));
    return list;
}

bool PageParameter::isItem(const QString &text) const
{
    if (text.size() != width)
        return false;
    const bool digits =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!digits)
        return false;
    const int value = text.toInt();
    return value >= lowest && value <= highest;
}

const QList<PageParameter> &PageParameters()
{
    static const QList<PageParameter> catalogue = BuildCatalogue();
    return catalogue;
}

const PageParameter *FindPageParameter(int number)
{
    const auto &list = PageParameters();
    const auto it = std::find_if(list.begin(), list.end(),
                                 [number](const PageParameter &p) { return p.number == number; });
    return it == list.end() ? nullptr : &*it;
}

const PageParameter *FindPageParameter(const QString &code)
{
    const auto &list = PageParameters();
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&code](const PageParameter &p) { return p.code() == code; });
    return it == list.end() ? nullptr : &*it;
}
