#include "DeviceDataGroup.h"

#include <algorithm>

namespace {

DeviceDataGroup Indexed(QStringList families, int last, int digits, GroupStop stop)
{
    DeviceDataGroup group;
    group.families = std::move(families);
    group.first = 1;
    group.last = last;
    group.indexDigits = digits;
    group.stop = stop;
    return group;
}

DeviceDataGroup Single(QStringList families, bool storeEmptyReply)
{
    DeviceDataGroup group;
    group.families = std::move(families);
    group.storeEmptyReply = storeEmptyReply;
    return group;
}

QList<DeviceDataGroup> BuildGroups()
{
    using S = GroupStop;
    const auto abc = [](char letter) {
        return QStringList{QStringLiteral("%1A").arg(QLatin1Char(letter)),
                           QStringLiteral("%1B").arg(QLatin1Char(letter)),
                           QStringLiteral("%1C").arg(QLatin1Char(letter))};
    };
    DeviceDataGroup af = Indexed({QStringLiteral("AF")}, 100, 2, S::TryEvery);
    af.storeEmptyReply = false;
    return {
        af,
        Single({QStringLiteral("DC")}, false),
        Indexed({QStringLiteral("BD")}, 20, 2, S::FirstFailure),
        Indexed({QStringLiteral("BE")}, 50, 4, S::FirstFailure),
        Indexed({QStringLiteral("GA")}, 24, 2, S::FirstFailure),
        Indexed({QStringLiteral("FA")}, 255, 2, S::FirstFailure),
        Indexed({QStringLiteral("FD")}, 255, 2, S::FirstFailure),
        Indexed(abc('B'), 20, 1, S::FirstFailure),
        Indexed({QStringLiteral("MD")}, 1000, 3, S::FirstFailureOrSixteenZeros),
        Indexed(abc('O'), 160, 2, S::FirstFailure),
        Indexed(abc('N'), 160, 2, S::FirstFailure),
        Indexed(abc('E'), 160, 2, S::FirstFailure),
        Single({QStringLiteral("ED"), QStringLiteral("DI"), QStringLiteral("JE")}, true),
        Indexed({QStringLiteral("DJ")}, 100, 1, S::FirstFailure),
    };
}

} // namespace

QString GroupCode(const QString &family, int index, int digits)
{
    return family + QStringLiteral("%1").arg(index, digits, 10, QLatin1Char('0'));
}

QString DeviceDataGroup::code(const QString &family, int index) const
{
    return hasIndex() ? GroupCode(family, index, indexDigits) : family;
}

bool DeviceDataGroup::holds(const QString &candidate) const
{
    const QString family = candidate.left(2);
    if (!families.contains(family))
        return false;
    if (!hasIndex())
        return candidate == family;
    const QString digits = candidate.mid(2);
    if (digits.isEmpty() ||
        !std::all_of(digits.begin(), digits.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    bool ok = false;
    const int index = digits.toInt(&ok);
    return ok && index >= first && index <= last && code(family, index) == candidate;
}

const QList<DeviceDataGroup> &DeviceDataGroups()
{
    static const QList<DeviceDataGroup> groups = BuildGroups();
    return groups;
}

bool IsCatalogueCode(const QString &code)
{
    const auto &groups = DeviceDataGroups();
    return std::any_of(groups.begin(), groups.end(),
                       [&code](const DeviceDataGroup &g) { return g.holds(code); });
}
