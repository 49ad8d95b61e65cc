#pragma once

#include "DialogPrompt.h"

#include <Comm.h>
#include <Language.h>
#include <LanguageTranslator.h>
#include <LogRelay.h>
#include <ProgressState.h>
#include <Settings.h>
#include <SharedFlag.h>
#include <memory>

// What the windows of one run share: the settings store, the device link, the interface
// language and its translations, the progress state of long operations, the two process-wide
// flags, the way the user is asked and the relay of the program's log messages. The main
// window owns none of it; every window is handed this object.
class AppContext
{
public:
    // An empty path selects the user's settings (or KT480_SETTINGS).
    explicit AppContext(const QString &settingsFilePath = QString())
        : settings(settingsFilePath), prompt(std::make_unique<DialogPrompt>(progress))
    {
    }
    AppContext(const AppContext &) = delete;
    AppContext &operator=(const AppContext &) = delete;

    Settings settings;
    Comm comm;
    Language language;
    // Follows every change of the language index.
    LanguageTranslator translator;
    ProgressState progress;
    // Set by All Backup / All Restore around their calls into the parameter and card windows.
    SharedFlag batchMode;
    // Set while the parameter or card window exchanges commands: no automatic clock read then.
    SharedFlag clockReadPaused;
    // The program's own log messages, for the diagnostic panel.
    LogRelay logRelay;
    // Tests put an answering prompt here.
    std::unique_ptr<UserPrompt> prompt;
};
