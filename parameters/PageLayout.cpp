#include "PageLayout.h"

namespace PageLayout {

const QList<int> &LeftColumn()
{
    static const QList<int> numbers{1, 2, 11, 12, 13, 41, 61, 62, 63, 65, 66};
    return numbers;
}

const QList<int> &RightColumn()
{
    static const QList<int> numbers{14, 15, 46, 42, 43, 44, 45, 47, 48, 64};
    return numbers;
}

const QList<int> &RowsHiddenByV4()
{
    static const QList<int> numbers{43, 44, 45, 47, 48, 64};
    return numbers;
}

bool IsV4Version(const QString &versionText)
{
    return versionText.toUpper().contains(QLatin1String("V4"));
}

bool RowVisible(int number, const QString &versionText)
{
    return !(IsV4Version(versionText) && RowsHiddenByV4().contains(number));
}

} // namespace PageLayout
