#pragma once

#include <QJsonObject>
#include <QTextStream>

struct CardDiff;
struct CliContext;

// kt480ctl cards diff A.xml B.xml compares two card files and needs no controller;
// kt480ctl CONNECTION cards diff FILE [--from N --to M] compares a card file with the cards the
// controller holds. Nothing is changed anywhere. Exit 0 when the two sides are the same, 1 when
// they differ or not every number could be read (as diff(1)).
int runCardsDiff(CliContext &context);

// The differences as printed and as JSON (also for the fleet's dry run).
void PrintCardDiff(QTextStream &out, const CardDiff &diff);
QJsonObject CardDiffJson(const CardDiff &diff);
