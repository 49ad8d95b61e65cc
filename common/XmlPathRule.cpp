#include "XmlPathRule.h"

QString WithXmlExtension(const QString &path)
{
    return path.toUpper().contains(QLatin1String("XML")) ? path : path + QLatin1String(".xml");
}
