#pragma once

class QJsonObject;
struct CliContext;

// Prints the object as one compact line of JSON on standard output, at once (a watch prints
// one line per card, and a script reads each as it comes).
void PrintJson(CliContext &context, const QJsonObject &object);
