#pragma once

#include "ControllerData.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

// The simulator's state file: {"controllers": [ {...}, ... ]}.
QJsonObject ControllerDataToJson(const ControllerData &data);
// nullopt when the object is not a controller (missing or mistyped fields).
std::optional<ControllerData> ControllerDataFromJson(const QJsonObject &object);

// Written atomically: a crash never leaves half a file.
bool SaveControllersFile(const QString &path, const QList<ControllerData> &controllers,
                         QString *error = nullptr);
std::optional<QList<ControllerData>> LoadControllersFile(const QString &path,
                                                         QString *error = nullptr);
