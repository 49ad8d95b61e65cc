#pragma once

#include "ControllerHit.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The controllers a search found, as kt480ctl prints them.

// A JSON array: one object per controller with transport, port or address, portNumber,
// lineSettings (serial), deviceId, serialNumber and version; then the controllers that
// answered outside the Device IDs searched, each with "outsideRange": true.
QByteArray HitsToJson(const QList<ControllerHit> &hits,
                      const QList<ControllerHit> &outsideRange = {});
// The same fields as CSV with a header row.
QByteArray HitsToCsv(const QList<ControllerHit> &hits);
// One line per controller.
QString HitsToText(const QList<ControllerHit> &hits);
