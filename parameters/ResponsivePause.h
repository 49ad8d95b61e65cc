#pragma once

#include <chrono>

// Waits while the user interface keeps processing events (no sleeping thread).
void PauseResponsively(std::chrono::milliseconds pause);
