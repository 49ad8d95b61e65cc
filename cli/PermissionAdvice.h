#pragma once

#include <QString>

// What a person whom a serial device refused can do about it, from the device file's owner,
// group (its number where it has no name) and mode: join the group, where the group may read
// and write the device and is one a user joins (root is not); otherwise the device's owner,
// group and mode, and that a udev rule or the administrator must grant access.
QString PermissionAdvice(const QString &owner, const QString &group, uint mode);
