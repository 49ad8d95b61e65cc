#pragma once

#include <QString>

// A Device ID as every command carries it: four decimal digits, zero-filled ("0001").
inline constexpr int DeviceIdDigits = 4;

QString DeviceIdText(int id);
