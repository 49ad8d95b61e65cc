#pragma once

// Waits the given time while the user interface keeps handling its events; 0 or less only
// lets pending events run.
void PauseResponsively(int milliseconds);
