#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;
struct VerbForm;

// Decides, before anything is opened or sent, whether the files a run names may be written.
// Refused: an output that is also an input of the run or another of its outputs (the same
// file after links and relative paths are resolved, a hard link included), a file inside a
// controller folder that a fleet run reads or replaces, and an existing event file that is not
// a record file (events are added to an event file, so it must hold the record table).
namespace OutputFileRule {

// Empty when the run may go on; else one line naming the files. `arguments` are the words
// after the action (after the verb for a verb without actions).
QString Check(const VerbForm &form, const QCommandLineParser &parser, const QStringList &arguments);

} // namespace OutputFileRule
