#include "GroupFamily.h"

namespace {
constexpr int ValueWidth = 8;
constexpr int WideValueWidth = 16;
} // namespace

QByteArray GroupFamily::code(int index) const
{
    if (single)
        return letters;
    return letters + QByteArray::number(index).rightJustified(indexDigits, '0');
}

const QList<GroupFamily> &GroupFamily::all()
{
    static const QList<GroupFamily> families = {
        {"DC", true, 0, ValueWidth},  {"BD", false, 2, ValueWidth},
        {"BE", false, 4, ValueWidth}, {"GA", false, 2, ValueWidth},
        {"FA", false, 2, ValueWidth}, {"FD", false, 2, ValueWidth},
        {"BA", false, 1, ValueWidth}, {"BB", false, 1, ValueWidth},
        {"BC", false, 1, ValueWidth}, {"MD", false, 3, WideValueWidth},
        {"OA", false, 2, ValueWidth}, {"OB", false, 2, ValueWidth},
        {"OC", false, 2, ValueWidth}, {"NA", false, 2, ValueWidth},
        {"NB", false, 2, ValueWidth}, {"NC", false, 2, ValueWidth},
        {"EA", false, 2, ValueWidth}, {"EB", false, 2, ValueWidth},
        {"EC", false, 2, ValueWidth}, {"ED", true, 0, ValueWidth},
        {"DI", true, 0, ValueWidth},  {"JE", true, 0, ValueWidth},
        {"DJ", false, 1, ValueWidth},
    };
    return families;
}

const GroupFamily *GroupFamily::find(QByteArrayView code)
{
    if (code.size() < 2)
        return nullptr;
    for (const GroupFamily &f : all()) {
        if (code.first(2) == f.letters)
            return &f;
    }
    return nullptr;
}
