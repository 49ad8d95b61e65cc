#pragma once

#include <QJsonArray>
#include <QList>

class QJsonObject;
struct CliContext;

// Prints the object as one compact line of JSON on standard output, at once (a watch prints
// one line per card, and a script reads each as it comes).
void PrintJson(CliContext &context, const QJsonObject &object);

// Card numbers and the like as a JSON array.
QJsonArray JsonNumbers(const QList<int> &numbers);
