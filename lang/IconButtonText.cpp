#include "IconButtonText.h"

#include <QAbstractButton>

void SetIconButtonText(QAbstractButton *button, const QString &text)
{
    const QString plain = QString(text).remove(QLatin1Char('&'));
    button->setToolTip(plain);
    button->setAccessibleName(plain);
}
