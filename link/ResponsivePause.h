#pragma once

#include <chrono>

// Waits the given time while the user interface keeps handling its events (no sleeping
// thread); 0 or less returns at once.
void PauseResponsively(std::chrono::milliseconds pause);
