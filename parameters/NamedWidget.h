#pragma once

#include <QString>

// A new widget with the object name tests and screen readers find it by.
template <typename W> W *Named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}
