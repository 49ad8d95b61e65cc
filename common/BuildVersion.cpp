#include "BuildVersion.h"

#include "BuildRevision.h"

QString BuildVersionText()
{
    const QString revision = QStringLiteral(KT480_GIT_REVISION);
    const QString version = QStringLiteral(KT480_VERSION);
    return revision.isEmpty() ? version : QStringLiteral("%1 (git %2)").arg(version, revision);
}
