#pragma once

#include <QByteArray>

// A number as the controller's texts carry it: decimal, zero-filled to the field's width.
inline QByteArray Digits(qint64 value, int width)
{
    return QByteArray::number(value).rightJustified(width, '0');
}
