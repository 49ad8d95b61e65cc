#pragma once

#include <QString>

// The Device ID as every command carries it: the box's number with four digits ("7" gives
// "0007"); an empty or non-numeric box, or a number above 9999, counts as 1.
QString NormaliseDeviceId(const QString &boxText);
