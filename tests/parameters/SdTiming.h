#pragma once

#include "SdCardOperation.h"

// The SD card waits of a test: pauses of milliseconds, the bound of a few hundred.
inline SdCardOperation::Timing FastSdTiming(std::chrono::milliseconds bound)
{
    SdCardOperation::Timing timing;
    timing.checkPause = std::chrono::milliseconds(5);
    timing.pollInterval = std::chrono::milliseconds(20);
    timing.bound = bound;
    return timing;
}
