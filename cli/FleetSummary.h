#pragma once

#include "FleetJob.h"

#include <QJsonObject>
#include <QList>
#include <QTextStream>

// The end of a fleet run: a table with a line per controller, then what failed, by name.
namespace FleetSummary {

void print(QTextStream &out, const FleetTask &task, const QList<FleetResult> &results,
           qint64 milliseconds);
QJsonObject json(const FleetTask &task, const QList<FleetResult> &results, qint64 milliseconds);
// Dry run: every controller's changes, before the table.
void printChanges(QTextStream &out, const FleetResult &result);

} // namespace FleetSummary
