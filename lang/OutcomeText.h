#pragma once

#include <QString>
#include <QStringList>

// The closing message of an operation: "OK!" when nothing failed; otherwise "Error!"
// followed by one line for each thing that failed, so the user knows what to do again.
QString OutcomeText(const QStringList &problems);

// Items for a message: at most `shown` of them, then how many more there are.
QString ShortList(const QStringList &items, int shown);
