#pragma once

#include "ParamTransfer.h"

#include <chrono>

class Comm;
class Language;
class ProgressState;
class Settings;
class SharedFlag;
class UserPrompt;

// What a parameter operation needs from the application, for callers without the window.
struct ParamContext
{
    Comm &comm;
    Settings &settings;
    ProgressState &progress;
    SharedFlag &clockReadPaused;
    UserPrompt &prompt;
    const Language &language;
    std::chrono::milliseconds retryPause = ParamTransfer::ProductRetryPause;
};
