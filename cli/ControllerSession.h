#pragma once

#include "ConnectionController.h"

#include <Comm.h>
#include <Language.h>
#include <QString>
#include <Settings.h>
#include <SharedFlag.h>
#include <memory>
#include <optional>

struct CliContext;

// Opens the link of the command line, settles the Device ID (asking with 0000AC for
// --id auto) and reads what the verbs need from the controller.
namespace ControllerSession {

// The link with the main window's connection controller on it, for the verbs that identify
// the controller or work on its clock as the window does. Nothing it does is remembered.
struct Connection
{
    Comm comm;
    std::unique_ptr<Settings> settings = Settings::Transient();
    Language language;
    SharedFlag clockReadPaused;
    // Declared last, so that it closes the link before the link goes.
    ConnectionController controller{comm, *settings, language, clockReadPaused};
};

// False (message written) when the link cannot be opened or no controller gives its ID.
bool open(CliContext &context, Comm &comm);
// Who answers before anything is written: the serial number ("AS", from the link's own
// Device ID, never the broadcast) and the firmware version ("DB"). The card numbers go out in
// the form of the version, so a write needs both.
struct Identity
{
    QString serialNumber;
    QString version;
    QString problem; // empty when both were read
    bool known() const { return problem.isEmpty(); }
};
Identity identify(Comm &comm);
// The same for a verb that stops when the controller is not known: nothing, with the problem
// written to standard error.
std::optional<Identity> identifyOrSay(CliContext &context, Comm &comm);
// True when standard error is a terminal (progress is then one line written over).
bool stderrIsTerminal();

} // namespace ControllerSession
