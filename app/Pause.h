#pragma once

// Waits the given time while the user interface keeps handling its events.
void Pause(int milliseconds);
