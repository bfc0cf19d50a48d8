#pragma once

#include <chrono>

namespace morel_xy {

// Blocks the calling thread for `duration`, resuming after signals: the real pacing of every
// desktop. Does nothing for a duration of zero or less.
void SleepFor(std::chrono::nanoseconds duration);

}  // namespace morel_xy
