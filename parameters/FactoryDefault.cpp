#include "FactoryDefault.h"

#include "PageParameter.h"

namespace {

QList<FactoryDefault> BuildTable()
{
    QList<FactoryDefault> table;
    for (const PageParameter &p : PageParameters()) {
        table.append({p.code(), p.defaultValue, true});
        // The two unsent entries follow AF16 in the table.
        if (p.number == 16) {
            table.append({QStringLiteral("AF17"), QStringLiteral("0"), false});
            table.append({QStringLiteral("AF18"), QStringLiteral("0000"), false});
        }
    }
    return table;
}

} // namespace

const QList<FactoryDefault> &FactoryDefaults()
{
    static const QList<FactoryDefault> table = BuildTable();
    return table;
}
