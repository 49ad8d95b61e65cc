#pragma once

#include <QString>

class Comm;
class ProgressState;
struct CliContext;

// Opens the link of the command line, settles the Device ID (asking with 0000AC for
// --id auto) and reads what the verbs need from the controller.
namespace ControllerSession {

// False (message written) when the link cannot be opened or no controller gives its ID.
bool open(CliContext &context, Comm &comm);
// The firmware version text ("DB"), empty when it cannot be read.
QString readVersion(Comm &comm);
// True when standard error is a terminal (progress lines go there only then).
bool stderrIsTerminal();
// Progress of long verbs as one rewritten line on standard error, when that is a terminal
// and the output is not JSON.
void showProgress(CliContext &context, ProgressState &progress);

} // namespace ControllerSession
